#include "app/object_title.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(ObjectTitle, DropsControlCharactersAndKeepsTheFirstTwenty) {
  const std::u32string title = CleanObjectTitle("My\x01Holiday\tPicture With A Long Name");
  EXPECT_EQ(ObjectTitleText(title), "MyHolidayPicture Wit");
  EXPECT_EQ(title.size(), kMaxTitleChars);
}

TEST(ObjectTitle, CountsCharactersNotBytes) {
  const std::u32string title = CleanObjectTitle("Réveil été – ♫ sonnerie longue");
  EXPECT_EQ(title.size(), kMaxTitleChars);
  EXPECT_EQ(ObjectTitleText(title), "Réveil été – ♫ sonne");
}

TEST(ObjectTitle, StoresCodePointsOneCharacterPerElement) {
  AppState state;
  state.titleChars.fill(0x55);
  StoreObjectTitle(CleanObjectTitle("é€\xF0\x9F\x8E\xB5"
                                    "a"),
                   state);
  EXPECT_EQ(state.titleChars[0], 0xE9);
  EXPECT_EQ(state.titleChars[1], 0x20AC);
  EXPECT_EQ(state.titleChars[2], '?');
  EXPECT_EQ(state.titleChars[3], 'a');
  EXPECT_EQ(state.titleChars[4], 0x55);
}

TEST(ObjectTitle, MalformedBytesBecomeReplacementCharacters) {
  const std::u32string title = CleanObjectTitle(
      "a\xC3"
      "b\xFF");
  EXPECT_EQ(title, (std::u32string{U'a', 0xFFFD, U'b', 0xFFFD}));
}

}  // namespace
}  // namespace vandrel
