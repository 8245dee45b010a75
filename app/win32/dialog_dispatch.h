#pragma once

#include <windows.h>

namespace vandrel {

// The dialog procedure of a dialog object: WM_INITDIALOG brings the object (the creation
// parameter), which is kept with the window and handles every later message. `Dialog` has
// Initialise(HWND) and HandleMessage(UINT, WPARAM, LPARAM) and befriends this struct.
template <typename Dialog>
struct DialogDispatch {
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      reinterpret_cast<Dialog*>(lParam)->Initialise(window);
      return TRUE;
    }
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog != nullptr ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
  }
};

}  // namespace vandrel
