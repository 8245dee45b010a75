#include <algorithm>
#include <array>
#include <optional>

#include "handset/arrival_wait.h"
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

// Collects one answer: every read traced and added, the wait ended once the answer is complete
// (see WaitPolicy::AnswerComplete), and moved after an ERROR for its quiet period.
class AnswerReader final : public ArrivalReader {
 public:
  AnswerReader(int port, const LinkContext& context, std::uint32_t stepMs)
      : port_(port), context_(context), stepMs_(stepMs) {}

  std::span<std::uint8_t> Room() override { return scratch_; }

  std::optional<std::uint64_t> Took(std::size_t count, std::uint64_t elapsedMs,
                                    std::uint64_t endMs) override {
    const auto bytes = std::span(scratch_).first(count);
    context_.trace.Read(port_, bytes);
    last_ = collector_.Add(bytes);
    if (last_ == Poll::kOverflow) return std::nullopt;
    if (last_ == Poll::kGoOn) return endMs;
    const bool isError = last_ == Poll::kError;
    if (context_.waits.AnswerComplete(isError, collector_.Collected())) return std::nullopt;
    // the quiet period restarts with each arrival; a final word without its line end is taken
    // one step later at most
    if (isError)
      return elapsedMs + std::uint64_t{kQuietPollsAfterError} * context_.waits.QuietStepMs(stepMs_);
    return std::min(endMs, elapsedMs + kAnswerPollMs);
  }

  Poll Last() const { return last_; }
  const AnswerCollector& Collector() const { return collector_; }

 private:
  int port_;
  const LinkContext& context_;
  std::uint32_t stepMs_;
  AnswerScratch scratch_{};
  AnswerCollector collector_;
  Poll last_ = Poll::kGoOn;
};

// Reads and traces what comes until a line ends, the wait moved by `quietMs` after each arrival
// that does not end one, but never beyond `limitMs`.
class LateAnswerReader final : public ArrivalReader {
 public:
  LateAnswerReader(int port, LinkTrace& trace, std::uint64_t quietMs, std::uint64_t limitMs)
      : port_(port), trace_(trace), quietMs_(quietMs), limitMs_(limitMs) {}

  std::span<std::uint8_t> Room() override { return scratch_; }

  std::optional<std::uint64_t> Took(std::size_t count, std::uint64_t elapsedMs,
                                    std::uint64_t) override {
    const auto bytes = std::span(scratch_).first(count);
    trace_.Read(port_, bytes);
    if (AnswerLineEnded(bytes)) return std::nullopt;
    // more of it is coming: a long answer may take longer than the wait to arrive
    return std::min(elapsedMs + quietMs_, limitMs_);
  }

 private:
  int port_;
  LinkTrace& trace_;
  std::uint64_t quietMs_;
  std::uint64_t limitMs_;
  AnswerScratch scratch_{};
};

}  // namespace

bool HandsetLink::AwaitAnswer(std::size_t expectedSize, AnswerStatus& status, Event& event) {
  const std::uint32_t stepMs = expectedSize == 0 ? kProbeWaitMs : kAnswerPollMs;
  AnswerReader reader(port, context_, stepMs);
  AwaitArrivals(port, context_.waits, context_.clock, stepMs,
                std::uint64_t{stepMs} * AllowedPolls(expectedSize), reader);
  const Poll last = reader.Last();
  const AnswerCollector& collector = reader.Collector();
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
  LateAnswerReader reader(port, context_.trace, quietMs, kLateAnswerLimitFactor * quietMs);
  SerialResume(port);
  AwaitArrivals(port, context_.waits, context_.clock, quietMs, quietMs, reader);
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
  context_.waits.BeforeClose(port, kCloseWaitMs, context_.clock);
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
