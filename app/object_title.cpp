#include "app/object_title.h"

#include <cstdint>

namespace vandrel {

namespace {

constexpr char32_t kFirstPrintable = 32;
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kQuestionMark = '?';
constexpr char32_t kLargest16Bit = 0xFFFF;

// Decodes one UTF-8 sequence at `pos` and moves past it; a malformed sequence gives U+FFFD and
// skips one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(text[pos++]);
  if (lead < 0x80) return lead;
  int trailing = 0;
  char32_t value = 0;
  if ((lead & 0xE0) == 0xC0) {
    trailing = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    trailing = 2;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    trailing = 3;
    value = lead & 0x07;
  } else {
    return kReplacement;
  }
  if (pos + static_cast<std::size_t>(trailing) > text.size()) return kReplacement;
  for (int i = 0; i < trailing; ++i) {
    const auto next = static_cast<std::uint8_t>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(trailing);
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::u32string CleanObjectTitle(std::string_view rawUtf8) {
  std::u32string title;
  std::size_t pos = 0;
  while (pos < rawUtf8.size() && title.size() < kMaxTitleChars) {
    const char32_t c = NextCodePoint(rawUtf8, pos);
    if (c >= kFirstPrintable) title += c;
  }
  return title;
}

void StoreObjectTitle(std::u32string_view title, AppState& state) {
  for (std::size_t i = 0; i < title.size() && i < state.titleChars.size(); ++i) {
    const char32_t c = title[i];
    state.titleChars[i] = static_cast<std::uint16_t>(c > kLargest16Bit ? kQuestionMark : c);
  }
}

std::string ObjectTitleText(std::u32string_view title) {
  std::string text;
  for (const char32_t c : title) AppendUtf8(text, c);
  return text;
}

}  // namespace vandrel
