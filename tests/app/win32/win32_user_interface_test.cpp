#include "app/win32/win32_user_interface.h"

#include <chrono>
#include <thread>

#include "gui_test_support.h"

namespace vandrel {
namespace {

using namespace std::chrono_literals;

class Win32UserInterfaceTest : public GuiTest {};

// The send job's worker shows its errors itself while the window's thread runs the progress
// dialog: the box must come up from that thread and hold it until the user dismisses it.
TEST_F(Win32UserInterfaceTest, WorkerThreadBoxIsCaptionedVandrelAndWaitsForTheUser) {
  Win32UserInterface userInterface;
  std::atomic<bool> dismissed{false};
  std::atomic<bool> returnedBeforeDismissal{false};
  std::thread worker([&] {
    userInterface.ShowBox(BoxKind::kError, "Error 0x01 : Unavailable port 3");
    returnedBeforeDismissal = !dismissed;
  });

  HWND box = nullptr;
  for (int i = 0; i < 3000 && box == nullptr; ++i) {
    box = FindWindowW(L"#32770", L"Vandrel");
    if (box == nullptr) std::this_thread::sleep_for(10ms);
  }
  ASSERT_NE(box, nullptr);
  // a message box shows its text in the static item 0xFFFF
  EXPECT_EQ(ItemText(box, 0xFFFF), "Error 0x01 : Unavailable port 3");

  dismissed = true;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  worker.join();
  EXPECT_FALSE(returnedBeforeDismissal);
}

}  // namespace
}  // namespace vandrel
