#include "app/object_title.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(ObjectTitle, DropsControlCharactersAndKeepsTheFirstTwentyBytes) {
  const std::string title = CleanObjectTitle("My\x01Holiday\tPicture With A Long Name");
  EXPECT_EQ(title, "MyHolidayPicture Wit");
  EXPECT_EQ(CleanObjectTitle("Réveil été – ♫ sonnerie longue"), "R\xE9veil \xE9t\xE9 \x96 ? sonne");
}

TEST(ObjectTitle, StoresTheCodePageBytesOneCharacterPerElement) {
  AppState state;
  state.titleChars.fill(0x55);
  const std::string title = CleanObjectTitle("Don’t stop");
  EXPECT_EQ(title, "Don\x92t stop");
  StoreObjectTitle(title, state);
  EXPECT_EQ(state.titleChars[3], 0x92);
  EXPECT_EQ(state.titleChars[9], 'p');
  EXPECT_EQ(state.titleChars[10], 0x55);
  EXPECT_EQ(ObjectTitleText(title), "Don’t stop");
}

}  // namespace
}  // namespace vandrel
