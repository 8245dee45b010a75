#include "platform/clock.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(Clock, VirtualSleepAdvancesTimeWithoutWaiting) {
  VirtualClock clock;
  const std::uint64_t realStart = RealClock().NowMs();
  for (int poll = 0; poll < 600; ++poll) clock.Sleep(100);
  EXPECT_EQ(clock.NowMs(), 60000u);
  EXPECT_EQ(clock.SleptMs(), 60000u);
  EXPECT_LT(RealClock().NowMs() - realStart, 5000u);
}

}  // namespace
}  // namespace vandrel
