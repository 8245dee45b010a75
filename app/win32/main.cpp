// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "app/win32/batch_host.h"
#include "app/win32/main_window.h"
#include "app/win32/usage_box.h"
#include "app/win32/win32_user_interface.h"
#include "objects/event_table.h"
#include "platform/clock.h"
#include "platform/utf16.h"

namespace {

// The files given after the program's name; the system splits the command line as usual, so a
// path with spaces comes in quotes.
std::vector<std::string> CommandLineFiles() {
  std::vector<std::string> files;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return files;
  for (int i = 1; i < count; ++i) files.push_back(vandrel::Narrow(arguments[i]));
  LocalFree(arguments);
  return files;
}

}  // namespace

// The windowed program: the start-up, then either the main window run modally as the program's
// main loop or, with files on the command line, their sends without the window; then the
// teardown.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  vandrel::Win32UserInterface userInterface;
  vandrel::RealClock clock;
  const std::vector<std::string> files = CommandLineFiles();
  // a batch tells a calling script whether every file went through, as vandrel-cli does
  int exitStatus = 0;
  if (vandrel::AsksForUsage(files)) {
    vandrel::ShowUsage(userInterface);
  } else if (files.empty()) {
    vandrel::MainWindow window(userInterface, userInterface, clock);
    window.Run();
  } else {
    vandrel::BatchHost batch(userInterface, userInterface, clock);
    exitStatus = batch.Run(files).Failed() > 0 ? 1 : 0;
  }
  // Messages raised while the window closes still find their texts: the table goes last.
  vandrel::DestroyEventTable();
  return exitStatus;
}
