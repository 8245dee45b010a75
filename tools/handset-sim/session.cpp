#include "tools/handset-sim/session.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "tools/handset-sim/answers.h"

namespace vandrel::sim {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::size_t kMaxCommandBytes = 256;
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

bool StartsWithAt(std::string_view line) {
  return line.size() >= 2 && std::toupper(static_cast<unsigned char>(line[0])) == 'A' &&
         std::toupper(static_cast<unsigned char>(line[1])) == 'T';
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
      break;
  }
  return {};
}

}  // namespace

HandsetSession::HandsetSession(const HandsetProfile& profile, ObjectStore& store, AnswerSink& sink,
                               std::ostream& log, bool trace)
    : profile_(profile),
      store_(store),
      sink_(sink),
      log_(log),
      trace_(trace),
      echo_(profile.echo),
      stalled_(profile.silent) {}

SessionEvent HandsetSession::Feed(std::span<const std::uint8_t> bytes) {
  SessionEvent outcome = SessionEvent::kNone;
  while (!bytes.empty() && !stalled_) {
    if (InDataPhase()) {
      bytes = TakeData(bytes);
      if (HangUpDue()) return SessionEvent::kHangUp;
      continue;
    }
    const char c = static_cast<char>(bytes.front());
    bytes = bytes.subspan(1);
    if (c == kCarriageReturn) {
      const SessionEvent event = TakeLine();
      if (event == SessionEvent::kHangUp) return event;
      if (event != SessionEvent::kNone) outcome = event;
    } else if (c == kLineFeed && line_.empty()) {
      // a client that ends its lines with CR LF: the line feed opens no new command
    } else if (line_.size() < kMaxCommandBytes) {
      line_ += c;
    } else {
      lineOverflow_ = true;
    }
  }
  return outcome;
}

SessionEvent HandsetSession::TakeLine() {
  const std::string line = std::move(line_);
  const bool overflow = lineOverflow_;
  line_.clear();
  lineOverflow_ = false;

  const Command command = overflow ? Command{} : RecogniseCommand(line);
  if (trace_) log_ << "handset-sim: <- " << Printable(line) << '\n';
  const std::optional<Fault> fault = profile_.faults.At(command.step);
  if (fault && fault->kind == FaultKind::kStall) {
    Stall(command.step);
    return SessionEvent::kNone;
  }
  if (echo_) sink_.Send(line + kCarriageReturn);
  if (command.step == Step::kUnknown && !StartsWithAt(line)) return SessionEvent::kNone;

  const std::string answer = Answer(command);
  if (fault) {
    // A handset that fails a command does not go on into its data phase.
    if (phase_ == Phase::kObject) store_.Discard();
    phase_ = Phase::kCommand;
    Reply(Misbehave(*fault, answer));
    return SessionEvent::kNone;
  }
  Reply(answer);
  if (command.step == Step::kTitle && phaseSize_ == 0 && InDataPhase()) FinishTitle();
  if (HangUpDue()) return SessionEvent::kHangUp;
  return command.step == Step::kCloseSession ? SessionEvent::kDownloadClosed : SessionEvent::kNone;
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

std::span<const std::uint8_t> HandsetSession::TakeData(std::span<const std::uint8_t> bytes) {
  std::uint64_t wanted = phaseSize_ - phaseReceived_;
  if (phase_ == Phase::kObject && profile_.hangUpAfter && *profile_.hangUpAfter > phaseReceived_) {
    wanted = std::min(wanted, *profile_.hangUpAfter - phaseReceived_);
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
  if (phaseReceived_ == phaseSize_ && !HangUpDue()) {
    if (phase_ == Phase::kTitle) {
      FinishTitle();
    } else {
      FinishObject();
    }
  }
  return bytes.subspan(take);
}

void HandsetSession::FinishTitle() {
  phase_ = Phase::kCommand;
  const std::optional<Fault> fault = profile_.faults.At(Step::kTitleData);
  if (!fault) {
    Reply(kOkAnswer);
    return;
  }
  title_.clear();
  FailDataPhase(Step::kTitleData, *fault);
}

void HandsetSession::FinishObject() {
  phase_ = Phase::kCommand;
  const Sha256::Digest digest = hash_.Finish();
  const std::optional<Fault> fault = profile_.faults.At(Step::kObjectData);
  if (!fault) {
    Reply(ObjectVerdict(digest));
    return;
  }
  // A handset that fails at the end of the object does not keep it.
  store_.Discard();
  FailDataPhase(Step::kObjectData, *fault);
}

void HandsetSession::FailDataPhase(Step step, const Fault& fault) {
  if (fault.kind == FaultKind::kStall) {
    Stall(step);
  } else {
    Reply(Misbehave(fault, kOkAnswer));
  }
}

std::string HandsetSession::ObjectVerdict(const Sha256::Digest& digest) {
  const std::size_t headBytes =
      static_cast<std::size_t>(std::min<std::uint64_t>(phaseSize_, head_.size()));
  if (profile_.refuseAdpcm && formatCode_ == kWavFormatCode &&
      IsHandsetAdpcmWav(std::span(head_).first(headBytes))) {
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

void HandsetSession::Reply(std::string_view answer) {
  if (trace_) log_ << "handset-sim: -> " << Printable(answer) << '\n';
  sink_.Send(answer);
}

void HandsetSession::Stall(Step step) {
  stalled_ = true;
  log_ << "handset-sim: stalled at " << StepName(step) << '\n';
}

}  // namespace vandrel::sim
