#include "app/win32/open_file_dialog.h"

#include <commdlg.h>

#include "platform/utf16.h"

namespace vandrel {

namespace {
constexpr DWORD kLongPath = 32768;
}  // namespace

std::optional<std::string> ChooseFileWithDialog(HWND owner, const OpenFileRequest& request) {
  // The dialog wants its filter as strings separated and ended by nul characters.
  std::wstring filter = Widen(request.filter);
  for (wchar_t& c : filter) {
    if (c == L'|') c = L'\0';
  }
  filter.push_back(L'\0');

  std::wstring file = Widen(request.initialFileName);
  file.resize(kLongPath, L'\0');
  const std::wstring title = Widen(request.title);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kLongPath;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return Narrow(file.c_str());
}

}  // namespace vandrel
