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
}  // namespace

void RealClock::Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t RealClock::NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
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

std::uint64_t ScaledClock::NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count()) *
         scale_ / 1000;
}

namespace {
RealClock realClock;
std::atomic<Clock*> installedClock{&realClock};
}  // namespace

Clock& TheClock() {
  return *installedClock.load();
}

void InstallClock(Clock* clock) {
  installedClock.store(clock != nullptr ? clock : &realClock);
}

}  // namespace vandrel
