#include "gui_test_support.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "objects/event_table.h"
#include "platform/utf16.h"

namespace vandrel {

void GuiTest::SetUp() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  ResetAppState();
  InstallUserInterface(&boxes_);
}

void GuiTest::TearDown() {
  InstallUserInterface(nullptr);
  DestroyEventTable();
  ResetAppState();
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

std::string ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

}  // namespace vandrel
