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
};

struct Fault {
  FaultKind kind;
  std::uint32_t code = 0;  // for kCmeError
};

// Which step misbehaves and how; at most one fault per step, the last one set wins.
class FaultTable {
 public:
  void Set(Step step, Fault fault) { faults_[static_cast<std::size_t>(step)] = fault; }
  std::optional<Fault> At(Step step) const { return faults_[static_cast<std::size_t>(step)]; }

  // `where` is a step name or "all" (every step). Returns false with `error` set for a bad name.
  bool Add(std::string_view where, Fault fault, std::string& error);
  // "STEP" gives a plain ERROR there, "STEP=CODE" a "+CME ERROR: 100,CODE".
  bool AddErrorSpec(std::string_view entry, std::string& error);

 private:
  std::array<std::optional<Fault>, kStepCount> faults_{};
};

inline constexpr std::string_view kEveryStep = "all";

}  // namespace vandrel::sim
