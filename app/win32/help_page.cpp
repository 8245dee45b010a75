#include "app/win32/help_page.h"

#include <shellapi.h>

#include "platform/user_interface.h"

namespace vandrel {

namespace {
constexpr const char* kHelpFailed = "Failed to launch help.";
constexpr const wchar_t* kHelpExtension = L".htm";
// ShellExecute reports success with a value above 32.
constexpr INT_PTR kShellExecuteSucceeded = 32;
constexpr DWORD kLongPath = 32768;
}  // namespace

std::wstring HelpPagePath() {
  std::wstring path(kLongPath, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongPath);
  path.resize(length);
  const std::size_t separator = path.find_last_of(L"\\/");
  const std::size_t dot = path.rfind(L'.');
  if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator)) {
    path.resize(dot);
  }
  return path + kHelpExtension;
}

bool OpenHelpPage(HWND owner, UserInterface& ui) {
  const std::wstring path = HelpPagePath();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const bool present =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (present) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > kShellExecuteSucceeded) return true;
  }
  ShowWarning(ui, kHelpFailed);
  return false;
}

}  // namespace vandrel
