#include <algorithm>
#include <array>

#include "handset/answer.h"
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

// What came within the identification's wait, read once at its end.
std::size_t ReadAfterPause(int port, Clock& clock, std::span<std::uint8_t> answer) {
  clock.Sleep(kIdentificationWaitMs);
  bool timedOut = false;
  return static_cast<std::size_t>(std::max(SerialRead(port, answer, timedOut), 0));
}

// What came until the answer's final line ended (or the buffer is full), within the same wait.
std::size_t ReadUntilAnswered(int port, Clock& clock, std::span<std::uint8_t> answer) {
  const std::uint64_t deadline = clock.NowMs() + kIdentificationWaitMs;
  std::size_t length = 0;
  for (std::uint64_t now = clock.NowMs();
       now < deadline && length < answer.size() && SerialLineFailure(port) == kDriverNoError;
       now = clock.NowMs()) {
    SerialAwaitInput(port, static_cast<std::uint32_t>(deadline - now), clock);
    bool timedOut = false;
    length +=
        static_cast<std::size_t>(std::max(SerialRead(port, answer.subspan(length), timedOut), 0));
    if (AnswerLineEnded(answer.first(length))) break;
  }
  return length;
}

}  // namespace

bool HandsetLink::IdentificationStep(std::string_view command, std::span<std::uint8_t> answer,
                                     std::size_t& length) {
  const auto bytes =
      std::span(reinterpret_cast<const std::uint8_t*>(command.data()), command.size());
  for (int attempt = 0; attempt < kIdentificationTries; ++attempt) {
    context_.trace.Written(port, bytes);
    if (!SerialWrite(port, bytes)) continue;
    std::fill(answer.begin(), answer.end(), std::uint8_t{0});
    const std::size_t count = context_.patientWaits
                                  ? ReadAfterPause(port, context_.clock, answer)
                                  : ReadUntilAnswered(port, context_.clock, answer);
    SerialSuspend(port);
    if (count > 0) {
      context_.trace.Read(port, answer.first(count));
      length = count;
      // an earlier try's answer came late, and this try's own is still on its way
      if (attempt > 0 && !context_.patientWaits) DropLateAnswer(kIdentificationWaitMs);
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

bool HandsetLink::Detect(int portNumber, LineSpeeds& lineSpeeds, std::string& log) {
  port = portNumber;
  noAnswer = false;
  if (connected && !CloseLink()) {
    SerialClose(port);
    return false;
  }
  int last = kOpenConfigured;
  bool found = false;
  std::int32_t lastSpeed = 0;
  const std::int32_t count = std::clamp<std::int32_t>(lineSpeeds.count, 0, kMaxLineSpeeds);
  for (std::int32_t i = 0; i < count; ++i) {
    // after a handset was found, or after an attempt on a port that was already open or could
    // not be opened, or once the send was stopped, no further speed is tried
    if (found || last != kOpenConfigured || Stopped()) break;
    const std::int32_t speed = lineSpeeds.speeds[static_cast<std::size_t>(i)];
    context_.clock.Sleep(kBeforeOpenMs);
    last = SerialOpen(port, speed, LineSpeedTimeoutMs(speed), log, context_.clock);
    context_.trace.PortOpened(port, speed, last);
    lastSpeed = speed;
    if (last != kOpenConfigured && last != kOpenForcedSpeed) {
      DiscardDriverError(port);
      continue;
    }
    connected = true;
    bool answered = false;
    for (int attempt = 0; attempt < kProofTries && !answered && !Stopped(); ++attempt) {
      Event event{kEventNothing, 0, 0, {}, {}};
      AnswerStatus status;
      answered = SendBytes(kProof, event) && AwaitAnswer(0, status, event);
      if (!answered) context_.clock.Sleep(kAfterFailedProofMs);
      // an earlier proof's answer came late, and this proof's own is still on its way
      if (answered && attempt > 0 && !context_.patientWaits) DropLateAnswer(kProbeWaitMs);
    }
    if (!answered) {
      noAnswer = true;
      DiscardDriverError(port);
      CloseLink();
      continue;
    }
    found = Identify(log, last, true) == Identified::kPassed;
  }
  if (found) {
    lineSpeed = lastSpeed;
    ReorderLineSpeeds(lineSpeeds, lastSpeed);
    return true;
  }
  SerialClose(port);
  context_.trace.PortClosed(port);
  return false;
}

bool HandsetLink::QuickProbe(int portNumber, std::string& modelName, LineSpeeds& lineSpeeds,
                             std::string& log) {
  port = portNumber;
  const std::int32_t count = std::clamp<std::int32_t>(lineSpeeds.count, 0, kMaxLineSpeeds);
  bool answered = false;
  bool found = false;
  int last = kOpenConfigured;
  std::int32_t lastSpeed = 0;
  for (std::int32_t i = 0; i < count && !answered && !found; ++i) {
    if (last != kOpenConfigured) return false;
    const std::int32_t speed = lineSpeeds.speeds[static_cast<std::size_t>(i)];
    context_.clock.Sleep(kBeforeOpenMs);
    last = SerialOpen(port, speed, kQuickProbeTimeoutMs, log, context_.clock);
    context_.trace.PortOpened(port, speed, last);
    lastSpeed = speed;
    if (last == kOpenFailed) continue;
    if (last == kOpenNonCompliantCable || last == kOpenCableNoHandset) {
      SerialClose(port);
      continue;
    }
    // whatever answered "ATI3" is not tried at another speed, whether it passed or not
    const Identified identified = Identify(log, last, false);
    answered = identified != Identified::kSilent;
    found = identified == Identified::kPassed;
  }
  if (!found) return false;
  modelName.clear();
  ReorderLineSpeeds(lineSpeeds, lastSpeed);
  return true;
}

}  // namespace vandrel
