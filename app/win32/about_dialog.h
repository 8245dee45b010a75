#pragma once

#include <windows.h>

namespace vandrel {

// The About box: the logo, the program's title, a notice line and the licence agreement.
// Runs modally over `owner` until OK or the close box.
void RunAboutDialog(HWND owner);

}  // namespace vandrel
