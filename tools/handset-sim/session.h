#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "tools/handset-sim/command_line.h"
#include "tools/handset-sim/commands.h"
#include "tools/handset-sim/faults.h"
#include "tools/handset-sim/object_store.h"
#include "tools/handset-sim/profile.h"
#include "tools/handset-sim/sha256.h"
#include "tools/handset-sim/wav_probe.h"

namespace vandrel::sim {

// Where the handset's echo and answers go.
class AnswerSink {
 public:
  virtual ~AnswerSink() = default;
  virtual void Send(std::string_view bytes) = 0;
};

// The handset's hold on what the client sends, as the flow control of a serial line gives it.
class ClientFlow {
 public:
  virtual ~ClientFlow() = default;
  // From now on the client's writes block (a non-blocking one fails with EAGAIN).
  virtual void SuspendClient() = 0;
  virtual void ResumeClient() = 0;
  // Throws away what the client wrote and the handset has not read yet.
  virtual void DiscardUnread() = 0;
};

enum class SessionEvent : std::uint8_t {
  kNone,
  kDownloadClosed,   // the closing command of a download was answered
  kHangUp,           // the line must be dropped now
  kHold,             // the line must not be read any more
  kClientSuspended,  // the client's output is suspended until it is resumed
};

// The handset's side of the conversation: command lines in, echo and answers out, and the raw
// title and object bytes of the two data phases between.
class HandsetSession {
 public:
  HandsetSession(const HandsetProfile& profile, ObjectStore& store, AnswerSink& sink,
                 ClientFlow& flow, std::ostream& log, bool trace);

  // Takes the bytes read from the line. kHangUp and kHold leave the rest of `bytes` unread;
  // kClientSuspended throws it away.
  SessionEvent Feed(std::span<const std::uint8_t> bytes);

  bool InDataPhase() const { return phase_ != Phase::kCommand; }
  // The client went quiet in the middle of a data phase: forget it and take commands again.
  void AbandonDataPhase();
  // Gives the profile's held answer while the line stays held; the object is not kept.
  void AnswerWhileHolding();

 private:
  enum class Phase : std::uint8_t { kCommand, kTitle, kObject };

  SessionEvent TakeLine(const CommandLine& line);
  // Counts one more arrival of `step`; gives its fault when that arrival is due one.
  std::optional<Fault> Arrive(Step step);
  // A data step is reached twice: when its phase opens, where a hold starts, and when its data is
  // complete, where every other fault strikes. Each fault counts the arrivals at its own point.
  std::optional<Fault> DataPhaseFault(Step step, bool opening);
  // The faults that leave the step unanswered give the event they end in; the others nothing.
  std::optional<SessionEvent> Withhold(Step step, const Fault& fault);
  // Holds everything back, the line unread, for the late answer's delay when this arrival of
  // `step` is the one it names.
  void AnswerLate(Step step, const Fault& fault);
  // The answer of a well-behaved handset; may open a data phase.
  std::string Answer(const Command& command);
  std::string StartObject(const Command& command);
  SessionEvent OpenDataPhase();
  // Takes the data phase's part of `bytes` off its front.
  SessionEvent TakeData(std::span<const std::uint8_t>& bytes);
  SessionEvent FinishTitle();
  SessionEvent FinishObject();
  // The final answer of a data phase that the profile makes fail.
  SessionEvent FailDataPhase(Step step, const Fault& fault);
  std::string ObjectVerdict(const Sha256::Digest& digest);
  bool IsAdpcmSound() const;
  bool HangUpDue() const;
  bool RefusalDue() const;
  // Refuses the object before its end: the client's output is suspended and what it still sent
  // thrown away, so that the refusal is all it hears.
  SessionEvent RefuseMidObject();
  void Reply(std::string_view answer);
  void Stall(Step step);
  SessionEvent Hold(Step step);
  SessionEvent HangUp(Step step);

  const HandsetProfile& profile_;
  ObjectStore& store_;
  AnswerSink& sink_;
  ClientFlow& flow_;
  std::ostream& log_;
  bool trace_;

  bool echo_;
  bool stalled_;
  std::array<std::uint32_t, kStepCount> arrivals_{};
  bool downloadOpen_ = false;
  CommandLineReader reader_;

  Phase phase_ = Phase::kCommand;
  std::uint64_t phaseSize_ = 0;
  std::uint64_t phaseReceived_ = 0;
  std::string title_;
  std::uint32_t formatCode_ = 0;
  Sha256 hash_;
  std::array<std::uint8_t, kWavHeadBytes> head_{};
  bool storeFailed_ = false;
};

}  // namespace vandrel::sim
