#include "app/win32/window_dpi.h"

namespace vandrel {

int WindowDpi(HWND window) {
  // Looked up at run time: Windows 7 and 8 lack it, and there every monitor has the system's DPI.
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
  }
  const HDC screen = GetDC(window);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(window, screen);
  return dpi;
}

int ScaleToDpi(int pixels, int dpi) {
  return MulDiv(pixels, dpi, kDefaultDpi);
}

}  // namespace vandrel
