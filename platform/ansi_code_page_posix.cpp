#include <cstdint>

#include "platform/ansi_code_page.h"
#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace vandrel {

std::string ToAnsiCodePage(std::string_view utf8) {
  std::string bytes;
  for (std::size_t pos = 0; pos < utf8.size();)
    bytes += static_cast<char>(Windows1252Byte(NextCodePoint(utf8, pos)).value_or('?'));
  return bytes;
}

std::string FromAnsiCodePage(std::string_view bytes) {
  std::string utf8;
  for (const char byte : bytes) AppendUtf8(utf8, Windows1252Char(static_cast<std::uint8_t>(byte)));
  return utf8;
}

}  // namespace vandrel
