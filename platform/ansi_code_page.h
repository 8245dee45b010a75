#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// The system's 8-bit code page: the ANSI code page on Windows, Windows-1252 elsewhere. A
// character the code page lacks becomes "?".
std::string ToAnsiCodePage(std::string_view utf8);
// The UTF-8 text of code-page bytes.
std::string FromAnsiCodePage(std::string_view bytes);

}  // namespace vandrel
