#pragma once

#include <cstdint>
#include <optional>

namespace vandrel {

// Windows-1252: the 8-bit code page of Western Windows systems and of the handset's titles.

// The byte that stands for `c`; nullopt when the code page lacks it.
std::optional<std::uint8_t> Windows1252Byte(char32_t c);
// The character a byte stands for. The five bytes the code page leaves free stand for the
// control characters of the same number, as Windows maps them.
char32_t Windows1252Char(std::uint8_t byte);
// The small letter of a capital of the code page (Š Œ Ž Ÿ among them); any other character as
// it is.
char32_t LowerCaseWindows1252(char32_t c);

}  // namespace vandrel
