#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vandrel {

namespace {
// A real pause this short keeps a polling loop from starving the thread it polls, while a
// 60-second time-out of 100 ms polls still passes in a fraction of a second.
constexpr auto kRealPause = std::chrono::microseconds(50);
constexpr std::uint64_t kShortestScaledPauseUs = 1000;

// Waits on `signal` for at most `wait` of real time; returns when `ready()` holds or the time is up.
template <typename Duration>
void WaitOnSignal(WakeSignal& signal, Duration wait, const std::function<bool()>& ready) {
  std::unique_lock lock(signal.mutex);
  signal.changed.wait_for(lock, wait, ready);
}

std::uint32_t SleptSince(Clock& clock, std::uint64_t startMs, std::uint32_t limitMs) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(clock.NowMs() - startMs, limitMs));
}

}  // namespace

void WakeSignal::Notify() {
  { std::lock_guard lock(mutex); }
  changed.notify_all();
}

std::uint32_t Clock::SleepUntil(std::uint32_t ms, WakeSignal&, const std::function<bool()>&) {
  Sleep(ms);
  return ms;
}

void RealClock::Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t RealClock::NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

std::uint32_t RealClock::SleepUntil(std::uint32_t ms, WakeSignal& signal,
                                    const std::function<bool()>& ready) {
  const std::uint64_t start = NowMs();
  WaitOnSignal(signal, std::chrono::milliseconds(ms), ready);
  return SleptSince(*this, start, ms);
}

std::uint32_t VirtualClock::SleepUntil(std::uint32_t ms, WakeSignal&,
                                       const std::function<bool()>& ready) {
  if (ready()) return 0;
  Sleep(ms);
  return ms;
}

void VirtualClock::Sleep(std::uint32_t ms) {
  now_ += ms;
  slept_ += ms;
  std::this_thread::sleep_for(kRealPause);
}

void ScaledClock::Sleep(std::uint32_t ms) {
  // Some systems round a pause below a millisecond down to none: a loop counting its polls would
  // then count them all before the thread it waits for has run at all.
  const std::uint64_t us = std::uint64_t{ms} * 1000 / scale_;
  std::this_thread::sleep_for(
      std::chrono::microseconds(std::max<std::uint64_t>(us, kShortestScaledPauseUs)));
}

std::uint32_t ScaledClock::SleepUntil(std::uint32_t ms, WakeSignal& signal,
                                      const std::function<bool()>& ready) {
  const std::uint64_t start = NowMs();
  WaitOnSignal(signal, std::chrono::microseconds(std::uint64_t{ms} * 1000 / scale_), ready);
  return SleptSince(*this, start, ms);
}

std::uint64_t ScaledClock::NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count()) *
         scale_ / 1000;
}

}  // namespace vandrel
