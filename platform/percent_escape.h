#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

// The byte written as two hexadecimal digits; nullopt for anything else.
std::optional<std::uint8_t> HexByte(std::string_view pair);
// `text` with each "%XX" replaced by the byte it writes; nullopt for a "%" not followed by two
// hexadecimal digits. The settings files write awkward names and paths so.
std::optional<std::string> PercentDecode(std::string_view text);

}  // namespace vandrel
