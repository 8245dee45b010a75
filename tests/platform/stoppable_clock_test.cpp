#include "platform/stoppable_clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace vandrel {
namespace {

// A thread asleep for a minute, or waiting for a signal nobody gives, ends within moments of
// Stop, and a time-out counted by the clock is over: its owner gives up at once.
TEST(StoppableClock, StopEndsEveryWaitAtOnceAsIfItsTimeHadPassed) {
  RealClock real;
  StoppableClock clock(real);
  WakeSignal neverGiven;
  const std::uint64_t start = clock.NowMs();
  const std::uint64_t realStart = real.NowMs();
  std::uint32_t waited = 0;
  std::thread sleeper([&] {
    clock.Sleep(60000);
    waited = clock.SleepUntil(60000, neverGiven, [] { return false; });
    const std::uint64_t deadline = clock.NowMs() + 60000;
    while (clock.NowMs() < deadline) clock.Sleep(100);
  });
  real.Sleep(50);
  clock.Stop();
  sleeper.join();
  EXPECT_LT(real.NowMs() - realStart, 2000u);
  EXPECT_GE(clock.NowMs() - start, 180000u);
  EXPECT_EQ(waited, 60000u);

  clock.Restart();
  const std::uint64_t again = real.NowMs();
  clock.Sleep(30);
  EXPECT_GE(real.NowMs() - again, 30u);
}

// Before Stop, a wait for a signal ends when the signal comes, as on the clock inside.
TEST(StoppableClock, RunningItWakesOnTheSignalAsTheInnerClockDoes) {
  RealClock real;
  StoppableClock clock(real);
  WakeSignal signal;
  std::atomic<bool> ready{false};
  std::thread giver([&] {
    real.Sleep(30);
    ready = true;
    signal.Notify();
  });
  const std::uint32_t slept = clock.SleepUntil(60000, signal, [&] { return ready.load(); });
  giver.join();
  EXPECT_LT(slept, 2000u);
  EXPECT_GE(slept, 20u);
}

}  // namespace
}  // namespace vandrel
