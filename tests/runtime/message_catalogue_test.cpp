#include "runtime/message_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vandrel {
namespace {

constexpr auto npos = std::string_view::npos;

// The printf conversions of a template, in order ("%d", "%%", "%.1f"...).
std::vector<std::string> Conversions(std::string_view text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t end = i + 1;
    while (end < text.size() && std::string_view("0123456789.-").find(text[end]) != npos) ++end;
    found.emplace_back(text.substr(i, end - i + 1));
    i = end;
  }
  return found;
}

TEST(Catalogue, BothLanguagesFillTheSamePositionsWithTheSamePlaceholders) {
  const TextBlock& english = GetTextBlock(kEnglish);
  const TextBlock& french = GetTextBlock(kFrench);
  for (std::size_t number = 0; number < kTextCount; ++number) {
    const bool unused = number == 0 || number == 33 || number == 57 || number == 60 ||
                        number == 71 || (number >= 82 && number <= 89);
    EXPECT_EQ(english[number].empty(), unused) << "English text " << number;
    EXPECT_EQ(french[number].empty(), unused) << "French text " << number;
    EXPECT_EQ(Conversions(english[number]), Conversions(french[number])) << "text " << number;
  }
}

TEST(Catalogue, NumbersOutsideTheTableGiveNothing) {
  EXPECT_EQ(GetText(-1), "");
  EXPECT_EQ(GetText(kTextCount), "");
}

}  // namespace
}  // namespace vandrel
