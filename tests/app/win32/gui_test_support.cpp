#include "gui_test_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "objects/event_table.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

struct ProgressSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindProgressDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ProgressSearch*>(lParam);
  if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr) search->found = window;
  return search->found == nullptr;
}

}  // namespace

void RecordingWindowUserInterface::ShowProgress(std::string_view caption, std::string_view phase) {
  record_.ShowProgress(caption, phase);
  dialogs_.ShowProgress(caption, phase);
}

void RecordingWindowUserInterface::UpdateProgress(std::uint32_t percent, std::string_view line) {
  record_.UpdateProgress(percent, line);
  dialogs_.UpdateProgress(percent, line);
}

void RecordingWindowUserInterface::FinishProgress() {
  record_.FinishProgress();
  dialogs_.FinishProgress();
  ProgressSearch search;
  EnumThreadWindows(uiThread, FindProgressDialog, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  finishedBars.push_back(SendDlgItemMessageW(search.found, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  finishedLines.push_back(ItemText(search.found, IDC_PROGRESS_LINE));
}

void GuiTest::SetUp() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
}

void GuiTest::TearDown() {
  DestroyEventTable();
  SelectTextLanguage(kEnglish);
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void DropFiles(HWND window, const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += Widen(path) + L'\0';
  names += L'\0';
  const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

std::string ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

}  // namespace vandrel
