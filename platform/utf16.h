#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// UTF-8 inside the program, UTF-16 at the Windows API. Invalid input is replaced, never refused.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace vandrel
