#include "platform/percent_escape.h"

#include <charconv>

namespace vandrel {

std::optional<std::uint8_t> HexByte(std::string_view pair) {
  std::uint8_t byte = 0;
  const auto parsed = std::from_chars(pair.data(), pair.data() + pair.size(), byte, 16);
  if (pair.size() != 2 || parsed.ec != std::errc() || parsed.ptr != pair.data() + 2)
    return std::nullopt;
  return byte;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      result += text[i];
      continue;
    }
    const auto byte = HexByte(text.substr(i + 1, 2));
    if (!byte) return std::nullopt;
    result += static_cast<char>(*byte);
    i += 2;
  }
  return result;
}

}  // namespace vandrel
