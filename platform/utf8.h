#pragma once

#include <string>
#include <string_view>

namespace vandrel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the UTF-8 sequence at `pos` and moves past it; a malformed sequence gives U+FFFD and
// moves one byte on.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace vandrel
