#pragma once

#include <windows.h>

#include <string>

namespace vandrel {

// The help page: an HTML file next to the program, named after it ("vandrel.htm" beside
// "vandrel.exe").
std::wstring HelpPagePath();

// Opens the help page in the user's browser. On failure shows "Failed to launch help." and
// returns false.
bool OpenHelpPage(HWND owner);

}  // namespace vandrel
