#include "app/win32/win32_user_interface.h"

#include <chrono>
#include <thread>

#include "gui_test_support.h"
#include "platform/utf16.h"

namespace vandrel {
namespace {

using namespace std::chrono_literals;

struct TextSearch {
  std::string wanted;
  bool found = false;
};

BOOL CALLBACK FindText(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<TextSearch*>(lParam);
  if (WindowText(child) == search->wanted) search->found = true;
  return !search->found;
}

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
  TextSearch search{"Error 0x01 : Unavailable port 3"};
  EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&search));
  EXPECT_TRUE(search.found);

  dismissed = true;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  worker.join();
  EXPECT_FALSE(returnedBeforeDismissal);
}

}  // namespace
}  // namespace vandrel
