#pragma once

#include <windows.h>

#include <string>

#include "platform/user_interface.h"

namespace vandrel {

// The help page: an HTML file next to the program, named after it ("vandrel.htm" beside
// "vandrel.exe").
std::wstring HelpPagePath();

// Opens the help page in the user's browser. On failure shows "Failed to launch help." on `ui`
// and returns false.
bool OpenHelpPage(HWND owner, UserInterface& ui);

}  // namespace vandrel
