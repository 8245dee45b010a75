#include "platform/ansi_code_page.h"

#include <gtest/gtest.h>

#include "platform/windows_1252.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vandrel {
namespace {

// The characters that Windows-1252 puts in 0x80..0x9F, with their bytes.
constexpr std::string_view kHighCharacters = "’‘“”–—€…™ŒœŠšŽžŸ•";
constexpr std::string_view kHighBytes =
    "\x92\x91\x93\x94\x96\x97\x80\x85\x99\x8C\x9C\x8A\x9A\x8E\x9E\x9F\x95";

TEST(AnsiCodePage, MapsTheCodePageBothWaysAndAnyOtherCharacterToAQuestionMark) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "the system's code page is " << GetACP();
#endif
  EXPECT_EQ(ToAnsiCodePage(kHighCharacters), kHighBytes);
  EXPECT_EQ(FromAnsiCodePage(kHighBytes), kHighCharacters);
  EXPECT_EQ(ToAnsiCodePage("Ça été ÿ"), "\307a \351t\351 \377");
  // Ω has a look-alike in the code page, which must not be taken for it
  EXPECT_EQ(ToAnsiCodePage("Ω♫a🎵b"), "??a?b");
}

// Its lower-casing is checked with the paths it lowers (media_file_test.cpp).
TEST(Windows1252, GivesTheByteOfACharacterItHolds) {
  EXPECT_EQ(Windows1252Byte(U'\u0081'), 0x81);
  EXPECT_FALSE(Windows1252Byte(U'Ω'));
}

}  // namespace
}  // namespace vandrel
