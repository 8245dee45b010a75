#include "app/send_job.h"

#include <gtest/gtest.h>

#include "runtime/app_state.h"

namespace vandrel {
namespace {

// The handset's title is 8-bit text: what lies outside space to 255 is sent as "?".
TEST(PrepareSend, TitleCharactersOutsideTheHandsetsRangeBecomeQuestionMarks) {
  AppState state;
  const std::vector<std::uint16_t> title{'A', 0x1F, 0xFF, 0x100, 0x20AC, ' ', 0x263A};
  std::ranges::copy(title, state.titleChars.begin());
  const ObjectKindRow row;
  EXPECT_TRUE(PrepareSend(state, title.size() - 1, row, "C:\\a.png"));
  EXPECT_EQ(std::vector<std::uint16_t>(state.titleChars.begin(), state.titleChars.begin() + 7),
            (std::vector<std::uint16_t>{'A', '?', 0xFF, '?', '?', ' ', 0x263A}));
  EXPECT_EQ(state.titleLength, 6);
  EXPECT_EQ(state.currentObjectType, &row);
  EXPECT_FALSE(PrepareSend(state, 0, row, "")) << "no file to send";
}

}  // namespace
}  // namespace vandrel
