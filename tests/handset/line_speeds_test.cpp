#include "handset/line_speeds.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

// The reordering of the list is checked with the detection that uses it (detection_test.cpp).
TEST(LineSpeeds, ReadTimeOutIsAboutOneCharacterRoundedUp) {
  // 1.1 ms at 100000 bit/s waits 2 ms
  const std::pair<int, int> cases[] = {{115200, 1}, {38400, 3}, {1200, 96}, {100000, 2}};
  for (const auto& [speed, ms] : cases) EXPECT_EQ(LineSpeedTimeoutMs(speed), ms) << speed;
}

}  // namespace
}  // namespace vandrel
