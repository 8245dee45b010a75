#include "app/win32/progress_dialog.h"

#include <commctrl.h>

#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {
constexpr int kFullBar = 100;
}  // namespace

ProgressDialog::ProgressDialog(HWND parent) : parent_(parent) {}

void ProgressDialog::Run() {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), parent_,
                  DialogDispatch<ProgressDialog>::Proc, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

void ProgressDialog::ShowPhase(std::string_view caption, std::string_view phase) {
  {
    std::lock_guard lock(mutex_);
    caption_ = caption;
    phase_ = phase;
  }
  if (const HWND window = window_.load()) {
    SetWindowTextW(window, Widen(caption).c_str());
    SetDlgItemTextW(window, IDC_PROGRESS_PHASE, Widen(phase).c_str());
  }
}

void ProgressDialog::ShowPercent(std::uint32_t percent, std::string_view line) {
  {
    std::lock_guard lock(mutex_);
    percent_ = percent;
    line_ = line;
  }
  if (const HWND window = window_.load()) {
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    SetDlgItemTextW(window, IDC_PROGRESS_LINE, Widen(line).c_str());
  }
}

void ProgressDialog::Finish() {
  mayClose_ = true;
}

void ProgressDialog::Initialise(HWND window) {
  mayClose_ = false;
  SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kFullBar);
  SetDlgItemTextW(window, IDCANCEL, Widen(GetText(TXT_CANCEL)).c_str());
  // a send that cannot be stopped offers no Cancel
  EnableWindow(GetDlgItem(window, IDCANCEL), askToStop_ ? TRUE : FALSE);
  window_ = window;
  ShowAll(window);
}

void ProgressDialog::ShowAll(HWND window) {
  std::lock_guard lock(mutex_);
  SetWindowTextW(window, Widen(caption_).c_str());
  SetDlgItemTextW(window, IDC_PROGRESS_PHASE, Widen(phase_).c_str());
  SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, percent_, 0);
  SetDlgItemTextW(window, IDC_PROGRESS_LINE, Widen(line_).c_str());
}

INT_PTR ProgressDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) return TRUE;
      if (LOWORD(wParam) == IDCANCEL) {
        CloseOrAskToStop();
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      CloseOrAskToStop();
      return TRUE;
    default:
      return FALSE;
  }
}

void ProgressDialog::CloseOrAskToStop() {
  const HWND window = window_.load();
  if (mayClose_) {
    EndDialog(window, IDCANCEL);
    return;
  }
  const HWND cancel = GetDlgItem(window, IDCANCEL);
  if (!askToStop_ || IsWindowEnabled(cancel) == FALSE) return;
  if (!askToStop_()) return;
  EnableWindow(cancel, FALSE);
  // a stopped send ends without a full bar: its close request ends the dialog all the same
  mayClose_ = true;
}

}  // namespace vandrel
