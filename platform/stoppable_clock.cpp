#include "platform/stoppable_clock.h"

#include <algorithm>

namespace vandrel {

namespace {
// How often a wait woken only by another signal looks whether the clock was stopped.
constexpr std::uint32_t kStopCheckMs = 20;
}  // namespace

void StoppableClock::Stop() {
  stopped_ = true;
  stop_.Notify();
}

void StoppableClock::Sleep(std::uint32_t ms) {
  const std::uint32_t slept = inner_.SleepUntil(ms, stop_, [this] { return stopped_.load(); });
  if (slept < ms) skippedMs_ += ms - slept;
}

std::uint32_t StoppableClock::SleepUntil(std::uint32_t ms, WakeSignal& signal,
                                         const std::function<bool()>& ready) {
  std::uint32_t slept = 0;
  while (slept < ms && !ready()) {
    if (stopped_) {
      skippedMs_ += ms - slept;
      return ms;
    }
    slept += inner_.SleepUntil(std::min(kStopCheckMs, ms - slept), signal, ready);
  }
  return slept;
}

}  // namespace vandrel
