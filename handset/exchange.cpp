#include <algorithm>
#include <array>

#include "app/app_state.h"
#include "handset/handset_link.h"
#include "handset/link_trace.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kProbeWaitMs = 500;
constexpr std::uint32_t kAnswerPollMs = 100;
constexpr int kMinAnswerPolls = 600;
constexpr std::size_t kBytesPerExtraPoll = 200;
constexpr std::size_t kExpectedSizeSlack = 10;
constexpr int kQuietPollsAfterError = 20;
constexpr std::uint32_t kCloseWaitMs = 500;

// What a driver error code means to the user.
struct DriverErrorEvent {
  int driverCode;
  std::uint8_t event;
};
constexpr std::array<DriverErrorEvent, 9> kDriverErrorEvents{{
    {kDriverOpenFailed, kEventPortUnavailable},
    {kDriverSetupFailed, kEventWrongPortParams},
    {kDriverRingAllocFailed, kEventBufferAllocFailed},
    {kDriverTimeoutFailed, kEventPortTimeout},
    {kDriverThreadsFailed, kEventMutexFailed},
    {kDriverCloseFailed, kEventPortCloseFailed},
    {kDriverTimeoutRestoreFailed, kEventPortTimeout},
    {kDriverReadFailed, kEventPortReadFailed},
    {kDriverWriteFailed, kEventPortWriteFailed},
}};

int AllowedPolls(std::size_t expectedSize) {
  if (expectedSize == 0) return 1;
  const auto scaled = 1 + (expectedSize + kExpectedSizeSlack) / kBytesPerExtraPoll;
  return static_cast<int>(std::max<std::size_t>(kMinAnswerPolls, scaled));
}

}  // namespace

ExchangeState& TheExchange() {
  static ExchangeState state;
  return state;
}

HandsetLink::HandsetLink(LineSpeeds& lineSpeeds) {
  const PortSelection* selection = TheAppState().portSelection;
  std::string log;
  if (Detect(selection != nullptr ? selection->port : 1, lineSpeeds, log)) return;
  Event event{noAnswer ? kEventConnectFailed : kEventPortUnavailable, 0, 0, {}, {}};
  ReportEvent(event, log);
}

HandsetLink::~HandsetLink() {
  if (connected) CloseLink();
}

bool HandsetLink::SendBytes(std::span<const std::uint8_t> data, Event& event) {
  TraceWritten(port, data);
  const bool ok = SerialWrite(port, data);
  int code = kDriverNoError;
  if (!ok) SerialTakeError(port, code);
  ReportDriverError(code);
  if (!ok) event.code = kEventPortWriteFailed;
  return ok;
}

bool HandsetLink::SendBytes(std::string_view text, Event& event) {
  return SendBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                   event);
}

bool HandsetLink::AwaitAnswer(std::size_t expectedSize, AnswerStatus& status, Event& event) {
  AnswerCollector collector;
  std::array<std::uint8_t, kMaxAnswerBytes> scratch{};
  std::uint32_t interval = expectedSize == 0 ? kProbeWaitMs : kAnswerPollMs;
  AnswerCollector::Poll last = AnswerCollector::Poll::kGoOn;
  for (int allowed = AllowedPolls(expectedSize); allowed > 0;) {
    --allowed;
    TheClock().Sleep(interval);
    bool timedOut = false;
    const int count = SerialRead(port, scratch, timedOut);
    if (count <= 0) continue;
    TraceRead(port, std::span(scratch).first(static_cast<std::size_t>(count)));
    last = collector.Add(std::span(scratch).first(static_cast<std::size_t>(count)));
    if (last == AnswerCollector::Poll::kOverflow || last == AnswerCollector::Poll::kFinal) break;
    if (last == AnswerCollector::Poll::kError) {
      // the quiet polls after an error go at the answer's pace, the probe's too
      allowed = kQuietPollsAfterError;
      interval = kAnswerPollMs;
    }
  }
  // A handset cannot have taken what has not left the port: an "OK" while part of the data is
  // still queued stands only once the rest goes out, and a line that takes no more is a stall.
  const bool stalled = last == AnswerCollector::Poll::kFinal && !SerialAwaitSent(port);
  SerialSuspend(port);
  if (stalled) {
    event.code = kEventPortWriteFailed;
    return false;
  }
  if (collector.Total() == 0) {
    event.code = kEventPortTimeout;
    return false;
  }
  std::uint8_t failure = kEventUnexpectedResponse;
  if (!ClassifyAnswer(collector.Collected(), status, failure)) {
    event.code = failure;
    return false;
  }
  if (status.answerKind != kAnswerError) return true;
  event.code = ErrorAnswerEvent(collector.Collected());
  return false;
}

void HandsetLink::ReportEvent(Event& event, std::string_view log) {
  event.number = port;
  const std::string text = FormatEvent(event);
  ShowError(log.empty() ? text : log);
  event = Event{kEventNothing, 0, 0, {}, {}};
}

void HandsetLink::ReportDriverError(int driverCode) {
  std::uint8_t code = kEventNothing;
  for (const DriverErrorEvent& entry : kDriverErrorEvents)
    if (entry.driverCode == driverCode) code = entry.event;
  ShowError(FormatEvent(Event{code, port, 0, {}, {}}));
}

bool HandsetLink::CloseLink() {
  TheClock().Sleep(kCloseWaitMs);
  const bool ok = SerialClose(port);
  TracePortClosed(port);
  int code = kDriverNoError;
  bool result = true;
  if (ok || !connected) {
    connected = false;
  } else {
    SerialTakeError(port, code);
    result = false;
  }
  ReportDriverError(code);
  return result;
}

}  // namespace vandrel
