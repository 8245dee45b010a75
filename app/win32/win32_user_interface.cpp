#include "app/win32/win32_user_interface.h"

#include <windows.h>

#include <array>

#include "app/win32/progress_dialog.h"
#include "platform/utf16.h"
#include "runtime/app_state.h"

namespace vandrel {

namespace {

struct BoxStyle {
  BoxKind kind;
  UINT icon;
};

constexpr std::array<BoxStyle, 4> kBoxStyles{{
    {BoxKind::kError, MB_ICONSTOP},
    {BoxKind::kWarning, MB_ICONEXCLAMATION},
    {BoxKind::kNotice, MB_ICONINFORMATION},
    {BoxKind::kPlain, 0},
}};

UINT IconOf(BoxKind kind) {
  for (const BoxStyle& style : kBoxStyles) {
    if (style.kind == kind) return style.icon;
  }
  return 0;
}

}  // namespace

void Win32UserInterface::ShowBox(BoxKind kind, std::string_view text) {
  // On the window's thread the box belongs to the active window, which it disables while it is
  // up. The worker thread has no window of its own: its box stands alone and comes to the front,
  // over the progress dialog that the window's thread is running meanwhile.
  const HWND owner = GetActiveWindow();
  const UINT flags = MB_OK | IconOf(kind) | (owner == nullptr ? MB_SETFOREGROUND : 0);
  MessageBoxW(owner, Widen(text).c_str(), Widen(kAppName).c_str(), flags);
}

bool Win32UserInterface::Ask(std::string_view question) {
  const HWND owner = GetActiveWindow();
  const UINT flags = MB_YESNO | MB_ICONQUESTION | (owner == nullptr ? MB_SETFOREGROUND : 0);
  return MessageBoxW(owner, Widen(question).c_str(), Widen(kAppName).c_str(), flags) == IDYES;
}

void Win32UserInterface::ShowProgress(std::string_view caption, std::string_view phase) {
  if (ProgressDialog* dialog = progressDialog_.load()) dialog->ShowPhase(caption, phase);
}

void Win32UserInterface::UpdateProgress(std::uint32_t percent, std::string_view line) {
  if (ProgressDialog* dialog = progressDialog_.load()) dialog->ShowPercent(percent, line);
}

void Win32UserInterface::FinishProgress() {
  if (ProgressDialog* dialog = progressDialog_.load()) dialog->Finish();
}

void Win32UserInterface::AttachProgressDialog(ProgressDialog* dialog) {
  progressDialog_.store(dialog);
}

}  // namespace vandrel
