// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/app_state.h"
#include "app/win32/main_window.h"
#include "app/win32/win32_user_interface.h"
#include "objects/event_table.h"

// The windowed program: the start-up, the main window run modally as the program's main loop,
// and the teardown once it has closed.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  vandrel::ResetAppState();
  vandrel::ResetEventLog();
  vandrel::Win32UserInterface userInterface;
  vandrel::InstallUserInterface(&userInterface);
  {
    vandrel::MainWindow window;
    window.Run();
  }
  // Messages raised while the window closes still find their texts: the table goes last.
  vandrel::DestroyEventTable();
  vandrel::InstallUserInterface(nullptr);
  return 0;
}
