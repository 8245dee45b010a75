#include "handset/line_speeds.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(LineSpeeds, WorkingSpeedMovesToTheFront) {
  LineSpeeds list{4, {115200, 57600, 19200, 9600}};
  ReorderLineSpeeds(list, 19200);
  EXPECT_EQ(list, (LineSpeeds{4, {19200, 115200, 57600, 9600}}));
  LineSpeeds full;
  ReorderLineSpeeds(full, 115200);
  EXPECT_EQ(full, LineSpeeds{});
}

TEST(LineSpeeds, ReadTimeOutIsAboutOneCharacter) {
  const std::pair<int, int> cases[] = {{115200, 1}, {38400, 3}, {1200, 96}};
  for (const auto& [speed, ms] : cases) EXPECT_EQ(LineSpeedTimeoutMs(speed), ms) << speed;
}

}  // namespace
}  // namespace vandrel
