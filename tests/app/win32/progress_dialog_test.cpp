#include "app/win32/progress_dialog.h"

#include <commctrl.h>

#include <chrono>
#include <thread>

#include "app/win32/win32_user_interface.h"
#include "gui_test_support.h"
#include "resources/resource_ids.h"

namespace vandrel {
namespace {

using namespace std::chrono_literals;

HWND AwaitWindow(const ProgressDialog& dialog) {
  for (int i = 0; i < 3000 && dialog.window() == nullptr; ++i) std::this_thread::sleep_for(10ms);
  return dialog.window();
}

class ProgressDialogTest : public GuiTest {};

// The dialog runs on this thread as the Send command runs it; a second thread plays the send job.
TEST_F(ProgressDialogTest, RefusesEveryCloseUntilFinishThenClosesOnRequest) {
  Win32UserInterface userInterface;
  ProgressDialog dialog(nullptr);
  userInterface.AttachProgressDialog(&dialog);
  userInterface.ShowProgress("Send file ", " Transfer initialization ");

  bool openAfterRefusals = false;
  std::thread job([&] {
    const HWND window = AwaitWindow(dialog);
    if (window == nullptr) return;
    userInterface.UpdateProgress(42, "Downloaded: 42 % of 2.9 Kb");
    EXPECT_EQ(WindowText(window), "Send file ");
    EXPECT_EQ(ItemText(window, IDC_PROGRESS_PHASE), " Transfer initialization ");
    EXPECT_EQ(ItemText(window, IDC_PROGRESS_LINE), "Downloaded: 42 % of 2.9 Kb");
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 42);

    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    openAfterRefusals = IsWindowVisible(window) != FALSE && dialog.window() == window;

    userInterface.FinishProgress();
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  dialog.Run();
  job.join();
  userInterface.AttachProgressDialog(nullptr);

  EXPECT_TRUE(openAfterRefusals);
  EXPECT_EQ(dialog.window(), nullptr);
}

}  // namespace
}  // namespace vandrel
