#include "app/win32/search_dialog.h"

#include <utility>

#include "platform/format_text.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {
// Posted by the worker: the search is over.
constexpr UINT kSearchEndedMessage = WM_APP + 20;
}  // namespace

SearchDialog::SearchDialog(HWND parent, std::function<void()> cancel)
    : parent_(parent), cancel_(std::move(cancel)) {}

void SearchDialog::Run() {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SEARCH), parent_,
                  DialogDispatch<SearchDialog>::Proc, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

void SearchDialog::ShowPort(std::int32_t port) {
  port_ = port;
  if (const HWND window = window_.load()) ShowPortText(window);
}

// Either this sees the window, or Initialise sees that the search has ended.
void SearchDialog::End() {
  ended_ = true;
  if (const HWND window = window_.load()) PostMessageW(window, kSearchEndedMessage, 0, 0);
}

void SearchDialog::Initialise(HWND window) {
  SetDlgItemTextW(window, IDCANCEL, Widen(GetText(TXT_CANCEL)).c_str());
  window_ = window;
  ShowPortText(window);
  if (ended_) EndDialog(window, IDOK);
}

void SearchDialog::ShowPortText(HWND window) {
  const std::int32_t port = port_;
  const std::string text =
      port == 0 ? std::string() : FormatText(GetText(TXT_SEARCHING_PORT).c_str(), port);
  SetDlgItemTextW(window, IDC_SEARCH_PORT, Widen(text).c_str());
}

INT_PTR SearchDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) Cancel();
      return LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK ? TRUE : FALSE;
    case WM_CLOSE:
      Cancel();
      return TRUE;
    case kSearchEndedMessage:
      EndDialog(window_.load(), IDOK);
      return TRUE;
    default:
      return FALSE;
  }
}

void SearchDialog::Cancel() {
  if (cancelled_.exchange(true)) return;
  EnableWindow(GetDlgItem(window_.load(), IDCANCEL), FALSE);
  cancel_();
}

}  // namespace vandrel
