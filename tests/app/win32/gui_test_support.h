#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/win32/win32_user_interface.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "tests/app/installed_store.h"

namespace vandrel {

// Records every box and every progress call instead of showing them, and also shows the progress
// in the dialog attached to `dialogs`, so that a test sees both what was said and what was drawn.
// When a send finishes, it notes what the progress dialog of `uiThread` shows at that moment.
class RecordingWindowUserInterface final : public UserInterface {
 public:
  RecordingWindowUserInterface(RecordingUserInterface& record, Win32UserInterface& dialogs)
      : record_(record), dialogs_(dialogs) {}
  void ShowBox(BoxKind kind, std::string_view text) override { record_.ShowBox(kind, text); }
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;
  bool Ask(std::string_view question) override { return record_.Ask(question); }

  DWORD uiThread = GetCurrentThreadId();
  // The bar's position and the percentage line of the progress dialog at each Finish.
  std::vector<LRESULT> finishedBars;
  std::vector<std::string> finishedLines;

 private:
  RecordingUserInterface& record_;
  Win32UserInterface& dialogs_;
};

// Every GUI test: common controls registered, boxes recorded instead of shown, the settings and
// the serial-port list in a store of their own, and the run-time record and the event table put
// back afterwards. The store outlives the test's windows, since the main window saves its
// settings when it is destroyed.
class GuiTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  InstalledStore registry_;
  RecordingUserInterface boxes_;
  Win32UserInterface dialogs_;
  RecordingWindowUserInterface ui_{boxes_, dialogs_};
  RealClock clock_;
};

std::string WindowText(HWND window);
// Drops `paths` on `window` as Explorer does: WM_DROPFILES with a handle the window releases.
void DropFiles(HWND window, const std::vector<std::string>& paths);
std::string ItemText(HWND dialog, int id);

}  // namespace vandrel
