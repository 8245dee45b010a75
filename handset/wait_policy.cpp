#include "handset/wait_policy.h"

#include <algorithm>
#include <limits>

#include "handset/answer.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// The step of a prompt wait's quiet period after an ERROR, whatever the answer's own step.
constexpr std::uint32_t kPromptQuietStepMs = 100;

}  // namespace

std::uint64_t WaitPolicy::AwaitArrival(int port, std::uint32_t stepMs, std::uint64_t remainingMs,
                                       Clock& clock) const {
  if (patient_) {
    clock.Sleep(stepMs);
    return stepMs;
  }
  const std::uint64_t start = clock.NowMs();
  const auto maxMs = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(remainingMs, std::numeric_limits<std::uint32_t>::max()));
  SerialAwaitInput(port, maxMs, clock);
  return clock.NowMs() - start;
}

bool WaitPolicy::AnswerComplete(bool isError, std::span<const std::uint8_t> collected) const {
  if (patient_) return !isError;
  return AnswerLineEnded(collected);
}

std::uint32_t WaitPolicy::QuietStepMs(std::uint32_t stepMs) const {
  return patient_ ? stepMs : kPromptQuietStepMs;
}

void WaitPolicy::BeforeClose(int port, std::uint32_t maxMs, Clock& clock) const {
  if (patient_) {
    clock.Sleep(maxMs);
  } else {
    SerialDrain(port, maxMs, clock);
  }
}

void WaitPolicy::Pause(std::uint32_t maxMs, Clock& clock,
                       const std::function<void(std::uint32_t)>& untilReady) const {
  if (patient_) {
    clock.Sleep(maxMs);
  } else {
    untilReady(maxMs);
  }
}

}  // namespace vandrel
