#include <algorithm>
#include <array>
#include <optional>

#include "handset/handset_link.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kAnswerPollMs = 100;
constexpr int kMinAnswerPolls = 600;
constexpr std::size_t kBytesPerExtraPoll = 200;
constexpr std::size_t kExpectedSizeSlack = 10;
constexpr int kQuietPollsAfterError = 20;
constexpr std::uint32_t kCloseWaitMs = 500;
// However long a late answer goes on arriving, it is dropped within this many of its waits.
constexpr std::uint64_t kLateAnswerLimitFactor = 4;

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

std::uint8_t EventOfDriverError(int driverCode) {
  for (const DriverErrorEvent& entry : kDriverErrorEvents)
    if (entry.driverCode == driverCode) return entry.event;
  return kEventNothing;
}

int AllowedPolls(std::size_t expectedSize) {
  if (expectedSize == 0) return 1;
  const auto scaled = 1 + (expectedSize + kExpectedSizeSlack) / kBytesPerExtraPoll;
  return static_cast<int>(std::max<std::size_t>(kMinAnswerPolls, scaled));
}

}  // namespace

HandsetLink::HandsetLink(const LinkContext& context, int portNumber, LineSpeeds& lineSpeeds)
    : context_(context) {
  std::string log;
  // a stopped send is reported by whoever stopped it
  if (Detect(portNumber, lineSpeeds, log) || Stopped()) return;
  Event event{noAnswer ? kEventConnectFailed : kEventPortUnavailable, 0, 0, {}, {}};
  ReportEvent(event, log);
}

HandsetLink::~HandsetLink() {
  if (connected) CloseLink();
}

bool HandsetLink::SendBytes(std::span<const std::uint8_t> data, Event& event) {
  context_.trace.Written(port, data);
  if (SerialWrite(port, data)) return true;
  int code = kDriverNoError;
  SerialTakeError(port, code);
  // a line that failed is reported once, in the driver's words
  if (const int failure = SerialLineFailure(port); failure != kDriverNoError) {
    event.code = EventOfDriverError(failure);
    return false;
  }
  ReportDriverError(code);
  event.code = kEventPortWriteFailed;
  return false;
}

bool HandsetLink::SendBytes(std::string_view text, Event& event) {
  return SendBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                   event);
}

namespace {

using Poll = AnswerCollector::Poll;

using AnswerScratch = std::array<std::uint8_t, kMaxAnswerBytes>;

// Reads what has arrived into `scratch` and traces it; empty when nothing had.
std::span<const std::uint8_t> ReadAndTrace(int port, LinkTrace& trace, AnswerScratch& scratch) {
  bool timedOut = false;
  const int count = SerialRead(port, scratch, timedOut);
  if (count <= 0) return {};
  const auto bytes = std::span(scratch).first(static_cast<std::size_t>(count));
  trace.Read(port, bytes);
  return bytes;
}

// Reads what has arrived into `collector`; nothing when nothing had.
std::optional<Poll> ReadArrived(int port, LinkTrace& trace, AnswerCollector& collector) {
  AnswerScratch scratch{};
  const auto bytes = ReadAndTrace(port, trace, scratch);
  if (bytes.empty()) return std::nullopt;
  return collector.Add(bytes);
}

// The patient collection: each poll sleeps its whole interval, then reads. After an ERROR every
// poll that brings bytes allows 20 more.
Poll CollectPolled(int port, const LinkContext& context, std::size_t expectedSize,
                   AnswerCollector& collector) {
  std::uint32_t interval = expectedSize == 0 ? kProbeWaitMs : kAnswerPollMs;
  Poll last = Poll::kGoOn;
  for (int allowed = AllowedPolls(expectedSize); allowed > 0;) {
    --allowed;
    context.clock.Sleep(interval);
    const std::optional<Poll> poll = ReadArrived(port, context.trace, collector);
    if (poll) last = *poll;
    if (SerialLineFailure(port) != kDriverNoError) break;
    if (!poll) continue;
    if (last == Poll::kOverflow || last == Poll::kFinal) break;
    if (last == Poll::kError) {
      // the quiet polls after an error go at the answer's pace, the probe's too
      allowed = kQuietPollsAfterError;
      interval = kAnswerPollMs;
    }
  }
  return last;
}

// The same time-outs, counted from the same moment, but the answer is taken when it is there:
// woken by each arrival, done once the line of its final word has ended. A final word without a
// line end is taken at the end of the step it came in; after an ERROR the quiet period restarts
// with each arrival and ends as soon as the line with the code is complete.
Poll CollectOnArrival(int port, const LinkContext& context, std::size_t expectedSize,
                      AnswerCollector& collector) {
  Clock& clock = context.clock;
  const std::uint32_t interval = expectedSize == 0 ? kProbeWaitMs : kAnswerPollMs;
  std::uint64_t deadline = clock.NowMs() + std::uint64_t{interval} * AllowedPolls(expectedSize);
  Poll last = Poll::kGoOn;
  for (std::uint64_t now = clock.NowMs(); now < deadline; now = clock.NowMs()) {
    SerialAwaitInput(port, static_cast<std::uint32_t>(deadline - now), clock);
    const std::optional<Poll> poll = ReadArrived(port, context.trace, collector);
    if (poll) last = *poll;
    // no more of the answer can come over a line that failed
    if (SerialLineFailure(port) != kDriverNoError) break;
    if (!poll) continue;
    if (last == Poll::kOverflow) break;
    if (last == Poll::kGoOn) continue;
    if (collector.WordLineEnded()) break;
    const std::uint64_t arrived = clock.NowMs();
    deadline = last == Poll::kError ? arrived + std::uint64_t{kQuietPollsAfterError} * kAnswerPollMs
                                    : std::min(deadline, arrived + kAnswerPollMs);
  }
  return last;
}

}  // namespace

bool HandsetLink::AwaitAnswer(std::size_t expectedSize, AnswerStatus& status, Event& event) {
  AnswerCollector collector;
  const Poll last = context_.patientWaits
                        ? CollectPolled(port, context_, expectedSize, collector)
                        : CollectOnArrival(port, context_, expectedSize, collector);
  // A handset cannot have taken what has not left the port: an "OK" while part of the data is
  // still queued stands only once the rest goes out, and a line that takes no more is a stall.
  const bool stalled = last == Poll::kFinal && !SerialAwaitSent(port);
  SerialSuspend(port);
  // the line went before a whole answer came, or before the object left: the driver says why
  const int lineFailure = SerialLineFailure(port);
  if (lineFailure != kDriverNoError &&
      (stalled || (last != Poll::kFinal && last != Poll::kError))) {
    int pending = kDriverNoError;
    SerialTakeError(port, pending);
    event.code = EventOfDriverError(lineFailure);
    return false;
  }
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

void HandsetLink::DropLateAnswer(std::uint32_t quietMs) {
  Clock& clock = context_.clock;
  AnswerScratch scratch{};
  const std::uint64_t limit = clock.NowMs() + kLateAnswerLimitFactor * quietMs;
  std::uint64_t deadline = clock.NowMs() + quietMs;
  SerialResume(port);
  for (std::uint64_t now = clock.NowMs();
       now < std::min(deadline, limit) && SerialLineFailure(port) == kDriverNoError;
       now = clock.NowMs()) {
    SerialAwaitInput(port, static_cast<std::uint32_t>(std::min(deadline, limit) - now), clock);
    const auto bytes = ReadAndTrace(port, context_.trace, scratch);
    if (bytes.empty()) continue;
    if (AnswerLineEnded(bytes)) break;
    // more of it is coming: a long answer may take longer than the wait to arrive
    deadline = clock.NowMs() + quietMs;
  }
  SerialSuspend(port);
}

bool HandsetLink::Stopped() const {
  return SerialLineFailure(port) == kDriverStopped;
}

void HandsetLink::ReportEvent(Event& event, std::string_view log) {
  event.number = port;
  const std::string text = context_.log.Record(event);
  ShowError(context_.ui, log.empty() ? text : log);
  event = Event{kEventNothing, 0, 0, {}, {}};
}

void HandsetLink::ReportDriverError(int driverCode) {
  ShowError(context_.ui,
            context_.log.Record(Event{EventOfDriverError(driverCode), port, 0, {}, {}}));
}

bool HandsetLink::CloseLink() {
  // the last command may still be leaving the port
  if (context_.patientWaits) {
    context_.clock.Sleep(kCloseWaitMs);
  } else {
    SerialDrain(port, kCloseWaitMs, context_.clock);
  }
  const bool ok = SerialClose(port);
  context_.trace.PortClosed(port);
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
