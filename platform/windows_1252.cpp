#include "platform/windows_1252.h"

#include <array>

namespace vandrel {

namespace {

constexpr std::uint8_t kFirstHighByte = 0x80;
constexpr std::uint8_t kFirstLatin1Byte = 0xA0;

// The characters of bytes 0x80..0x9F; the rest of the code page is Latin-1 itself.
constexpr std::array<char32_t, 32> kHighCharacters{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

struct CaseRow {
  char32_t capital;
  char32_t small;
};

// The capitals outside Latin-1's own run of them.
constexpr CaseRow kCapitalsOutsideLatin1[] = {
    {0x0160, 0x0161}, {0x0152, 0x0153}, {0x017D, 0x017E}, {0x0178, 0x00FF}};

constexpr char32_t kFirstLatin1Capital = 0xC0;
constexpr char32_t kLastLatin1Capital = 0xDE;
constexpr char32_t kMultiplicationSign = 0xD7;
constexpr char32_t kSmallLetterOffset = 0x20;

}  // namespace

std::optional<std::uint8_t> Windows1252Byte(char32_t c) {
  if (c < kFirstHighByte || (c >= kFirstLatin1Byte && c <= 0xFF))
    return static_cast<std::uint8_t>(c);
  for (std::size_t i = 0; i < kHighCharacters.size(); ++i)
    if (kHighCharacters[i] == c) return static_cast<std::uint8_t>(kFirstHighByte + i);
  return std::nullopt;
}

char32_t Windows1252Char(std::uint8_t byte) {
  if (byte >= kFirstHighByte && byte < kFirstLatin1Byte)
    return kHighCharacters[byte - kFirstHighByte];
  return byte;
}

char32_t LowerCaseWindows1252(char32_t c) {
  if ((c >= 'A' && c <= 'Z') ||
      (c >= kFirstLatin1Capital && c <= kLastLatin1Capital && c != kMultiplicationSign))
    return c + kSmallLetterOffset;
  for (const CaseRow& row : kCapitalsOutsideLatin1)
    if (row.capital == c) return row.small;
  return c;
}

}  // namespace vandrel
