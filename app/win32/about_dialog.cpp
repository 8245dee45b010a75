#include "app/win32/about_dialog.h"

#include "app/win32/gdi_objects.h"
#include "app/win32/window_dpi.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

// The same in both languages: the agreement is the English one.
constexpr const wchar_t* kLicenceText =
    L"VANDREL SOFTWARE LICENCE AGREEMENT\r\n"
    L"\r\n"
    L"Please read this agreement before using the software. By installing or using Vandrel you "
    L"accept its terms.\r\n"
    L"\r\n"
    L"1. Ownership. Vandrel and its documentation are owned by their authors and are protected "
    L"by copyright law. You receive a licence to use the software, not the software itself.\r\n"
    L"\r\n"
    L"2. Use. You may install and use the software on any number of personal computers to "
    L"transfer objects to handsets that you own or are entitled to use.\r\n"
    L"\r\n"
    L"3. Restrictions. You may not rent, lease, lend, sell or sublicense the software, nor "
    L"distribute it for a fee, nor remove this agreement or the notices it contains.\r\n"
    L"\r\n"
    L"4. Content. Pictures, sounds and other objects may be protected by their authors' rights. "
    L"Making sure that you may copy an object into a handset is your own responsibility.\r\n"
    L"\r\n"
    L"5. No warranty. The software is provided \"as is\", without warranty of any kind, express "
    L"or implied, including warranties of merchantability, fitness for a particular purpose and "
    L"non-infringement. The whole risk as to its quality and performance is with you.\r\n"
    L"\r\n"
    L"6. Limitation of liability. In no event shall the authors be liable for any damages "
    L"whatsoever, including loss of data, loss of profits, damage to a handset or interruption "
    L"of business, arising out of the use of or the inability to use the software, even if "
    L"advised of the possibility of such damages.\r\n"
    L"\r\n"
    L"7. Termination. This licence ends automatically if you break its terms; you must then "
    L"destroy every copy of the software.\r\n";

// The logo at the window's DPI, centred across the dialog; `logo` keeps it while the dialog runs.
void ShowLogo(HWND window, Bitmap& logo) {
  const int dpi = WindowDpi(window);
  const Bitmap drawn = LoadResourceBitmap(IDB_LOGO);
  const SIZE size = BitmapSize(drawn);
  logo = ScaledBitmap(drawn, {ScaleToDpi(size.cx, dpi), ScaleToDpi(size.cy, dpi)});
  const HWND control = GetDlgItem(window, IDC_ABOUT_LOGO);
  const auto previous = reinterpret_cast<HBITMAP>(
      SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.get())));
  if (previous != nullptr && previous != logo.get()) DeleteObject(previous);
  RECT client{};
  GetClientRect(window, &client);
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  const int width = ScaleToDpi(size.cx, dpi);
  SetWindowPos(control, nullptr, (client.right - width) / 2, place.top, width,
               ScaleToDpi(size.cy, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ShowLogo(window, *reinterpret_cast<Bitmap*>(lParam));
      SetWindowTextW(window, Widen(GetText(TXT_ABOUT_TITLE)).c_str());
      SetDlgItemTextW(window, IDC_ABOUT_TITLE, Widen(kAppTitle).c_str());
      SetDlgItemTextW(window, IDC_LICENCE, kLicenceText);
      // OK takes the focus, so that the agreement opens at its top and unselected.
      SetFocus(GetDlgItem(window, IDOK));
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunAboutDialog(HWND owner) {
  Bitmap logo;
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc,
                  reinterpret_cast<LPARAM>(&logo));
}

}  // namespace vandrel
