#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "handset/answer.h"
#include "handset/arrival_wait.h"
#include "handset/handset_link.h"
#include "handset/identification.h"
#include "platform/clock.h"
#include "runtime/message_catalogue.h"
#include "runtime/port_log.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kBeforeOpenMs = 100;
constexpr std::uint32_t kIdentificationWaitMs = 1000;
constexpr std::uint32_t kAfterFailedProofMs = 100;
constexpr int kProofTries = 10;
constexpr int kIdentificationTries = 5;
constexpr std::size_t kProbeBufferBytes = 64;
constexpr int kQuickProbeTimeoutMs = 1;

constexpr std::string_view kProof = "AT\r";
constexpr std::string_view kIdentify = "ATI3\r";
constexpr std::string_view kCapability = "AT+KDOBJ?\r";
constexpr std::string_view kReadImei = "AT+CGSN\r";

using ProbeBuffer = std::array<std::uint8_t, kProbeBufferBytes>;

void DiscardDriverError(int port) {
  int code = 0;
  SerialTakeError(port, code);
}

std::span<const std::uint8_t> Answer(const ProbeBuffer& buffer, std::size_t length) {
  return std::span(buffer).first(length);
}

// Reads an identification answer into its buffer until the line of its final word has ended or
// the buffer is full.
class IdentificationReader final : public ArrivalReader {
 public:
  explicit IdentificationReader(std::span<std::uint8_t> answer) : answer_(answer) {}

  std::span<std::uint8_t> Room() override { return answer_.subspan(length_); }

  std::optional<std::uint64_t> Took(std::size_t count, std::uint64_t,
                                    std::uint64_t endMs) override {
    length_ += count;
    if (AnswerLineEnded(answer_.first(length_))) return std::nullopt;
    return endMs;
  }

  std::size_t Length() const { return length_; }

 private:
  std::span<std::uint8_t> answer_;
  std::size_t length_ = 0;
};

}  // namespace

std::size_t HandsetLink::IdentificationTry(std::string_view command,
                                           std::span<std::uint8_t> answer) {
  const auto bytes =
      std::span(reinterpret_cast<const std::uint8_t*>(command.data()), command.size());
  context_.trace.Written(port, bytes);
  if (!SerialWrite(port, bytes)) return 0;
  std::fill(answer.begin(), answer.end(), std::uint8_t{0});
  IdentificationReader reader(answer);
  AwaitArrivals(port, context_.waits, context_.clock, kIdentificationWaitMs, kIdentificationWaitMs,
                reader);
  const std::size_t count = reader.Length();
  SerialSuspend(port);
  if (count > 0) context_.trace.Read(port, answer.first(count));
  return count;
}

bool HandsetLink::IdentificationStep(std::string_view command, std::span<std::uint8_t> answer,
                                     std::size_t& length) {
  for (int attempt = 0; attempt < kIdentificationTries; ++attempt) {
    if (const std::size_t count = IdentificationTry(command, answer); count > 0) {
      length = count;
      // an earlier try's answer came late, and this try's own is still on its way
      if (attempt > 0 && context_.waits.DropsLateAnswers()) DropLateAnswer(kIdentificationWaitMs);
      return true;
    }
  }
  return false;
}

// The "ATI3" and "AT+KDOBJ?" steps, and with `readImei` the "AT+CGSN" step; a failed step adds
// its diagnostic line.
HandsetLink::Identified HandsetLink::Identify(std::string& log, int openResult, bool readImei) {
  ProbeBuffer buffer{};
  std::size_t length = 0;
  const bool answered = IdentificationStep(kIdentify, buffer, length);
  if (!answered || !JudgeIdentification(Answer(buffer, length))) {
    AppendPortLog(log, port,
                  openResult == kOpenConfigured ? TXT_MODEM_REFUSED : TXT_NO_CABLE_NO_IRDA);
    return answered ? Identified::kRefused : Identified::kSilent;
  }
  if (!IdentificationStep(kCapability, buffer, length) ||
      !JudgeCapability(Answer(buffer, length))) {
    AppendPortLog(log, port, TXT_NO_TRANSFER_CAPABILITY);
    return Identified::kRefused;
  }
  if (!readImei) return Identified::kPassed;
  if (!IdentificationStep(kReadImei, buffer, length) || !JudgeImei(Answer(buffer, length), imei)) {
    AppendPortLog(log, port, TXT_IDENTIFY_FAILED);
    return Identified::kRefused;
  }
  return Identified::kPassed;
}

bool HandsetLink::SameHandset() {
  ProbeBuffer buffer{};
  const std::size_t length = IdentificationTry(kReadImei, buffer);
  std::string answered;
  return length > 0 && JudgeImei(Answer(buffer, length), answered) && answered == imei;
}

bool HandsetLink::SearchSpeeds(LineSpeeds& lineSpeeds, std::string& log,
                               int (*readTimeoutMs)(std::int32_t speed),
                               const std::function<SpeedAttempt(int openResult)>& attempt) {
  const std::int32_t count = std::clamp<std::int32_t>(lineSpeeds.count, 0, kMaxLineSpeeds);
  int last = kOpenConfigured;
  for (std::int32_t i = 0; i < count; ++i) {
    // after an attempt on a port that was already open or could not be opened, or once the send
    // was stopped, no further speed is tried
    if (last != kOpenConfigured || Stopped()) return false;
    const std::int32_t speed = lineSpeeds.speeds[static_cast<std::size_t>(i)];
    context_.clock.Sleep(kBeforeOpenMs);
    last = SerialOpen(port, speed, readTimeoutMs(speed), log, context_.clock);
    context_.trace.PortOpened(port, speed, last);
    const SpeedAttempt outcome = attempt(last);
    if (outcome == SpeedAttempt::kFound) {
      lineSpeed = speed;
      ReorderLineSpeeds(lineSpeeds, speed);
      return true;
    }
    if (outcome == SpeedAttempt::kOver) return false;
  }
  return false;
}

bool HandsetLink::Detect(int portNumber, LineSpeeds& lineSpeeds, std::string& log) {
  port = portNumber;
  noAnswer = false;
  if (connected && !CloseLink()) {
    SerialClose(port);
    return false;
  }
  const bool found = SearchSpeeds(lineSpeeds, log, LineSpeedTimeoutMs, [&](int openResult) {
    if (openResult != kOpenConfigured && openResult != kOpenForcedSpeed) {
      DiscardDriverError(port);
      return SpeedAttempt::kNext;
    }
    connected = true;
    if (!ProveHandset()) {
      noAnswer = true;
      DiscardDriverError(port);
      CloseLink();
      return SpeedAttempt::kNext;
    }
    return Identify(log, openResult, true) == Identified::kPassed ? SpeedAttempt::kFound
                                                                  : SpeedAttempt::kNext;
  });
  if (found) return true;
  SerialClose(port);
  context_.trace.PortClosed(port);
  return false;
}

bool HandsetLink::ProveHandset() {
  bool answered = false;
  for (int attempt = 0; attempt < kProofTries && !answered && !Stopped(); ++attempt) {
    Event event{kEventNothing, 0, 0, {}, {}};
    AnswerStatus status;
    answered = SendBytes(kProof, event) && AwaitAnswer(0, status, event);
    if (!answered) context_.clock.Sleep(kAfterFailedProofMs);
    // an earlier proof's answer came late, and this proof's own is still on its way
    if (answered && attempt > 0 && context_.waits.DropsLateAnswers()) DropLateAnswer(kProbeWaitMs);
  }
  return answered;
}

bool HandsetLink::QuickProbe(int portNumber, std::string& modelName, LineSpeeds& lineSpeeds,
                             std::string& log) {
  port = portNumber;
  const bool found = SearchSpeeds(
      lineSpeeds, log, [](std::int32_t) { return kQuickProbeTimeoutMs; },
      [&](int openResult) {
        if (openResult == kOpenFailed) return SpeedAttempt::kNext;
        if (openResult == kOpenNonCompliantCable || openResult == kOpenCableNoHandset) {
          SerialClose(port);
          return SpeedAttempt::kNext;
        }
        // whatever answered "ATI3" is not tried at another speed, whether it passed or not
        switch (Identify(log, openResult, false)) {
          case Identified::kPassed:
            return SpeedAttempt::kFound;
          case Identified::kRefused:
            return SpeedAttempt::kOver;
          case Identified::kSilent:
            break;
        }
        return SpeedAttempt::kNext;
      });
  if (found) modelName.clear();
  return found;
}

}  // namespace vandrel
