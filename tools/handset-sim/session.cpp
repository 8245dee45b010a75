#include "tools/handset-sim/session.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tools/handset-sim/answers.h"

namespace vandrel::sim {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::uint32_t kMaxTitleBytes = 255;

// The handset's 16-bit error codes, as it writes them after "+CME ERROR: 100,".
constexpr std::uint32_t kSourceInvalid = 65521;
constexpr std::uint32_t kNotEnoughMemory = 65523;
constexpr std::uint32_t kObjectNotSupported = 65525;
constexpr std::uint32_t kFlashWriteFailed = 65533;

constexpr std::uint32_t kWavFormatCode = 1;

std::string Printable(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    if (c == kCarriageReturn) {
      text += "\\r";
    } else if (c == kLineFeed) {
      text += "\\n";
    } else if (std::isprint(static_cast<unsigned char>(c))) {
      text += c;
    } else {
      text += '.';
    }
  }
  return text;
}

std::string Misbehave(const Fault& fault, std::string_view answer) {
  switch (fault.kind) {
    case FaultKind::kError:
      return std::string(kErrorAnswer);
    case FaultKind::kCmeError:
      return CmeErrorAnswer(fault.code);
    case FaultKind::kGarbage:
      return GarbageAnswer();
    case FaultKind::kLongAnswer:
      return LongAnswer(answer);
    case FaultKind::kForeignIdentity:
      return InformationAnswer(kModemIdentity);
    case FaultKind::kStall:
    case FaultKind::kHold:
    case FaultKind::kHangUp:
    case FaultKind::kLateAnswer:
      break;
  }
  return {};
}

}  // namespace

HandsetSession::HandsetSession(const HandsetProfile& profile, ObjectStore& store, AnswerSink& sink,
                               ClientFlow& flow, std::ostream& log, bool trace)
    : profile_(profile),
      store_(store),
      sink_(sink),
      flow_(flow),
      log_(log),
      trace_(trace),
      echo_(profile.echo),
      stalled_(profile.silent) {}

SessionEvent HandsetSession::Feed(std::span<const std::uint8_t> bytes) {
  SessionEvent outcome = SessionEvent::kNone;
  while (!bytes.empty() && !stalled_) {
    if (InDataPhase()) {
      if (const SessionEvent event = TakeData(bytes); event != SessionEvent::kNone) return event;
      continue;
    }
    const std::optional<CommandLine> line = reader_.Take(static_cast<char>(bytes.front()));
    bytes = bytes.subspan(1);
    if (!line) continue;
    const SessionEvent event = TakeLine(*line);
    if (event == SessionEvent::kDownloadClosed) {
      outcome = event;
    } else if (event != SessionEvent::kNone) {
      return event;
    }
  }
  return outcome;
}

SessionEvent HandsetSession::TakeLine(const CommandLine& line) {
  const Command command = line.overflow ? Command{} : RecogniseCommand(line.text);
  if (trace_) log_ << "handset-sim: <- " << Printable(line.text) << '\n';
  if (const std::uint64_t stray = reader_.TakeStrayCount(); stray > 0) {
    log_ << "handset-sim: " << stray << " stray bytes before a command\n";
  }
  std::optional<Fault> fault = Arrive(command.step);
  if (fault && fault->kind == FaultKind::kLateAnswer) {
    AnswerLate(command.step, *fault);
    fault.reset();
  }
  if (fault) {
    if (const std::optional<SessionEvent> event = Withhold(command.step, *fault)) return *event;
  }
  if (echo_) sink_.Send(line.text + kCarriageReturn);

  const std::string answer = Answer(command);
  if (fault) {
    // A handset that fails a command does not go on into its data phase.
    if (phase_ == Phase::kObject) store_.Discard();
    phase_ = Phase::kCommand;
    Reply(Misbehave(*fault, answer));
    return SessionEvent::kNone;
  }
  Reply(answer);
  if (InDataPhase()) return OpenDataPhase();
  return command.step == Step::kCloseSession ? SessionEvent::kDownloadClosed : SessionEvent::kNone;
}

std::optional<Fault> HandsetSession::Arrive(Step step) {
  const std::uint32_t arrival = ++arrivals_[static_cast<std::size_t>(step)];
  const std::optional<Fault> fault = profile_.faults.At(step);
  if (!fault || arrival < fault->fromArrival) return std::nullopt;
  return fault;
}

std::optional<Fault> HandsetSession::DataPhaseFault(Step step, bool opening) {
  const std::optional<Fault> fault = profile_.faults.At(step);
  if (!fault || (fault->kind == FaultKind::kHold) != opening) return std::nullopt;
  return Arrive(step);
}

std::optional<SessionEvent> HandsetSession::Withhold(Step step, const Fault& fault) {
  switch (fault.kind) {
    case FaultKind::kStall:
      Stall(step);
      return SessionEvent::kNone;
    case FaultKind::kHold:
      return Hold(step);
    case FaultKind::kHangUp:
      return HangUp(step);
    case FaultKind::kError:
    case FaultKind::kCmeError:
    case FaultKind::kGarbage:
    case FaultKind::kLongAnswer:
    case FaultKind::kForeignIdentity:
    case FaultKind::kLateAnswer:
      break;
  }
  return std::nullopt;
}

void HandsetSession::AnswerLate(Step step, const Fault& fault) {
  if (arrivals_[static_cast<std::size_t>(step)] != fault.fromArrival) return;
  if (trace_)
    log_ << "handset-sim: answering " << StepName(step) << ' ' << fault.code << " ms late\n";
  std::this_thread::sleep_for(std::chrono::milliseconds(fault.code));
}

std::string HandsetSession::Answer(const Command& command) {
  switch (command.step) {
    case Step::kAttention:
    case Step::kErrorReports:
    case Step::kSimCheck:
      return std::string(kOkAnswer);
    case Step::kIdentify:
      return InformationAnswer(kHandsetIdentity);
    case Step::kObjectQuery:
      return FreeMemoryAnswer(profile_.freeMemory);
    case Step::kImei:
      return InformationAnswer(profile_.imei);
    case Step::kEcho:
      echo_ = command.first == 1;
      return std::string(kOkAnswer);
    case Step::kOpenSession:
      downloadOpen_ = true;
      title_.clear();
      return std::string(kOkAnswer);
    case Step::kCloseSession:
      downloadOpen_ = false;
      return std::string(kOkAnswer);
    case Step::kTitle:
      if (!downloadOpen_ || command.first > kMaxTitleBytes) return std::string(kErrorAnswer);
      phase_ = Phase::kTitle;
      phaseSize_ = command.first;
      phaseReceived_ = 0;
      title_.clear();
      return std::string(kConnectAnswer);
    case Step::kObject:
      return StartObject(command);
    case Step::kTitleData:
    case Step::kObjectData:
    case Step::kUnknown:
      break;
  }
  return std::string(kErrorAnswer);
}

std::string HandsetSession::StartObject(const Command& command) {
  if (!downloadOpen_) return std::string(kErrorAnswer);
  if (command.second == 0) return CmeErrorAnswer(kSourceInvalid);
  if (command.second > profile_.freeMemory) return CmeErrorAnswer(kNotEnoughMemory);
  if (!store_.Begin()) return CmeErrorAnswer(kFlashWriteFailed);
  phase_ = Phase::kObject;
  phaseSize_ = command.second;
  phaseReceived_ = 0;
  formatCode_ = command.first;
  hash_ = Sha256();
  head_.fill(0);
  storeFailed_ = false;
  return std::string(kConnectAnswer);
}

SessionEvent HandsetSession::OpenDataPhase() {
  const Step dataStep = phase_ == Phase::kTitle ? Step::kTitleData : Step::kObjectData;
  if (DataPhaseFault(dataStep, true)) return Hold(dataStep);
  // An empty title is complete as soon as its phase opens.
  if (phase_ == Phase::kTitle && phaseSize_ == 0) return FinishTitle();
  return HangUpDue() ? HangUp(dataStep) : SessionEvent::kNone;
}

SessionEvent HandsetSession::TakeData(std::span<const std::uint8_t>& bytes) {
  std::uint64_t wanted = phaseSize_ - phaseReceived_;
  // Stop at each byte count where the object is judged before its end.
  const std::optional<std::uint64_t> refuseAfter =
      formatCode_ == kWavFormatCode ? profile_.refuseAdpcmAfter : std::nullopt;
  for (const std::optional<std::uint64_t>& mark : {profile_.hangUpAfter, refuseAfter}) {
    if (phase_ == Phase::kObject && mark && *mark > phaseReceived_) {
      wanted = std::min(wanted, *mark - phaseReceived_);
    }
  }
  const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, bytes.size()));
  const std::span<const std::uint8_t> piece = bytes.first(take);
  if (phase_ == Phase::kTitle) {
    title_.append(piece.begin(), piece.end());
  } else {
    if (phaseReceived_ < head_.size()) {
      const auto headPart = std::min<std::size_t>(head_.size() - phaseReceived_, take);
      std::copy_n(piece.begin(), headPart, head_.begin() + phaseReceived_);
    }
    hash_.Update(piece);
    if (!store_.Append(piece)) storeFailed_ = true;
  }
  phaseReceived_ += take;
  bytes = bytes.subspan(take);
  if (HangUpDue()) return HangUp(Step::kObjectData);
  if (RefusalDue()) return RefuseMidObject();
  if (phaseReceived_ < phaseSize_) return SessionEvent::kNone;
  return phase_ == Phase::kTitle ? FinishTitle() : FinishObject();
}

SessionEvent HandsetSession::FinishTitle() {
  phase_ = Phase::kCommand;
  const std::optional<Fault> fault = DataPhaseFault(Step::kTitleData, false);
  if (!fault) {
    Reply(kOkAnswer);
    return SessionEvent::kNone;
  }
  title_.clear();
  return FailDataPhase(Step::kTitleData, *fault);
}

SessionEvent HandsetSession::FinishObject() {
  phase_ = Phase::kCommand;
  const Sha256::Digest digest = hash_.Finish();
  const std::optional<Fault> fault = DataPhaseFault(Step::kObjectData, false);
  if (!fault) {
    Reply(ObjectVerdict(digest));
    return SessionEvent::kNone;
  }
  // A handset that fails at the end of the object does not keep it.
  store_.Discard();
  return FailDataPhase(Step::kObjectData, *fault);
}

SessionEvent HandsetSession::FailDataPhase(Step step, const Fault& fault) {
  if (const std::optional<SessionEvent> event = Withhold(step, fault)) return *event;
  Reply(Misbehave(fault, kOkAnswer));
  return SessionEvent::kNone;
}

std::string HandsetSession::ObjectVerdict(const Sha256::Digest& digest) {
  if (profile_.refuseAdpcm && IsAdpcmSound()) {
    store_.Discard();
    log_ << "handset-sim: refused an ADPCM sound of " << phaseSize_ << " bytes\n";
    return CmeErrorAnswer(kObjectNotSupported);
  }
  const ObjectRecord record{formatCode_, title_, phaseSize_, Sha256::ToHex(digest)};
  std::filesystem::path storedAs;
  if (storeFailed_ || !store_.Commit(record, storedAs)) {
    store_.Discard();
    log_ << "handset-sim: could not store an object of " << phaseSize_ << " bytes\n";
    return CmeErrorAnswer(kFlashWriteFailed);
  }
  log_ << "handset-sim: received " << ManifestLine(record);
  if (!storedAs.empty()) log_ << "handset-sim: stored as " << storedAs.string() << '\n';
  title_.clear();
  return std::string(kOkAnswer);
}

bool HandsetSession::IsAdpcmSound() const {
  const std::size_t headBytes =
      static_cast<std::size_t>(std::min<std::uint64_t>(phaseReceived_, head_.size()));
  return formatCode_ == kWavFormatCode && IsHandsetAdpcmWav(std::span(head_).first(headBytes));
}

bool HandsetSession::RefusalDue() const {
  return phase_ == Phase::kObject && profile_.refuseAdpcmAfter &&
         phaseReceived_ == std::min(*profile_.refuseAdpcmAfter, phaseSize_) && IsAdpcmSound();
}

SessionEvent HandsetSession::RefuseMidObject() {
  flow_.SuspendClient();
  flow_.DiscardUnread();
  store_.Discard();
  phase_ = Phase::kCommand;
  title_.clear();
  log_ << "handset-sim: refused an ADPCM sound after " << phaseReceived_ << " of " << phaseSize_
       << " bytes, the client's output suspended\n";
  Reply(CmeErrorAnswer(kObjectNotSupported));
  return SessionEvent::kClientSuspended;
}

bool HandsetSession::HangUpDue() const {
  return phase_ == Phase::kObject && profile_.hangUpAfter &&
         phaseReceived_ >= std::min(*profile_.hangUpAfter, phaseSize_);
}

void HandsetSession::AbandonDataPhase() {
  if (phase_ == Phase::kObject) store_.Discard();
  log_ << "handset-sim: data phase abandoned after " << phaseReceived_ << " of " << phaseSize_
       << " bytes\n";
  phase_ = Phase::kCommand;
  title_.clear();
}

void HandsetSession::AnswerWhileHolding() {
  if (phase_ == Phase::kObject) store_.Discard();
  phase_ = Phase::kCommand;
  title_.clear();
  log_ << "handset-sim: answering while holding the line\n";
  Reply(profile_.heldAnswer);
}

void HandsetSession::Reply(std::string_view answer) {
  if (trace_) log_ << "handset-sim: -> " << Printable(answer) << '\n';
  sink_.Send(answer);
}

void HandsetSession::Stall(Step step) {
  stalled_ = true;
  log_ << "handset-sim: stalled at " << StepName(step) << '\n';
}

SessionEvent HandsetSession::Hold(Step step) {
  stalled_ = true;
  log_ << "handset-sim: holding the line at " << StepName(step) << '\n';
  return SessionEvent::kHold;
}

SessionEvent HandsetSession::HangUp(Step step) {
  log_ << "handset-sim: hanging up at " << StepName(step);
  if (step == Step::kObjectData) {
    log_ << " after " << phaseReceived_ << " of " << phaseSize_ << " bytes";
  }
  log_ << '\n';
  return SessionEvent::kHangUp;
}

}  // namespace vandrel::sim
