#include "platform/utf8.h"

#include <cstdint>

namespace vandrel {

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
    return kReplacementCharacter;
  }
  if (pos + static_cast<std::size_t>(trailing) > text.size()) return kReplacementCharacter;
  for (int i = 0; i < trailing; ++i) {
    const auto next = static_cast<std::uint8_t>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return kReplacementCharacter;
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

}  // namespace vandrel
