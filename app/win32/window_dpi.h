#pragma once

#include <windows.h>

namespace vandrel {

inline constexpr int kDefaultDpi = 96;

// The DPI of the monitor the window is on; the system's DPI on a Windows older than 10.
int WindowDpi(HWND window);
// `pixels` at 96 DPI, in pixels at `dpi`.
int ScaleToDpi(int pixels, int dpi);

}  // namespace vandrel
