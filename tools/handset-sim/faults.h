#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/handset-sim/commands.h"

namespace vandrel::sim {

// The ways this handset can misbehave at one step of the conversation.
enum class FaultKind : std::uint8_t {
  kError,            // a plain "ERROR"
  kCmeError,         // "+CME ERROR: 100,<code>"
  kGarbage,          // noise without any answer word
  kLongAnswer,       // the right answer behind more than 512 bytes of information text
  kForeignIdentity,  // a modem's identification instead of the handset's
  kStall,            // neither echo nor answer, from this step on
  kHold,             // stop reading the line altogether, so that the client's writes back up
  kHangUp,           // drop the line before answering
  kLateAnswer,       // the right echo and answer, `code` milliseconds late, at one arrival only
};

struct Fault {
  FaultKind kind;
  std::uint32_t code = 0;  // for kCmeError; the delay in milliseconds for kLateAnswer
  // The arrival of the step from which on the fault applies; 1 is the first.
  std::uint32_t fromArrival = 1;
};

// Which step misbehaves and how; at most one fault per step, the last one set wins.
class FaultTable {
 public:
  void Set(Step step, Fault fault) { faults_[static_cast<std::size_t>(step)] = fault; }
  std::optional<Fault> At(Step step) const { return faults_[static_cast<std::size_t>(step)]; }

  // `where` is a step name or "all" (every step), optionally followed by "@N": the fault applies
  // from the N-th arrival of the step on. Returns false with `error` set for a bad name or N.
  bool Add(std::string_view where, Fault fault, std::string& error);
  // "STEP" gives a plain ERROR there, "STEP=CODE" a "+CME ERROR: 100,CODE" (STEP may carry @N).
  bool AddErrorSpec(std::string_view entry, std::string& error);
  // "STEP=MS" answers that step's first arrival (or with STEP@N its N-th) MS milliseconds late.
  bool AddLateSpec(std::string_view entry, std::string& error);

 private:
  std::array<std::optional<Fault>, kStepCount> faults_{};
};

inline constexpr std::string_view kEveryStep = "all";
inline constexpr char kArrivalMark = '@';

}  // namespace vandrel::sim
