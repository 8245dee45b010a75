#include "cli/progress_ticker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/user_interface.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"
#include "runtime/progress_display.h"

namespace vandrel {
namespace {

// Keeps the last percentage drawn, for the test's thread to read while the ticker draws.
class LastPercent final : public UserInterface {
 public:
  void ShowBox(BoxKind, std::string_view) override {}
  void ShowProgress(std::string_view, std::string_view) override {}
  void UpdateProgress(std::uint32_t percent, std::string_view) override { shown = percent; }
  void FinishProgress() override {}
  std::atomic<std::uint32_t> shown{0};
};

bool Shows(const LastPercent& ui, std::uint32_t percent) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ui.shown != percent && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return ui.shown == percent;
}

TEST(ProgressTicker, RedrawsTheBarFromTheBytesSentWhileTheDownloadRuns) {
  LastPercent ui;
  InstallUserInterface(&ui);
  AppState& state = TheAppState();
  BeginProgress("picture.png", TXT_IN_PROGRESS, 1000);
  state.sending = true;
  state.bytesSent = 500;
  ProgressTicker ticker;
  ticker.StartProgressFeed();
  EXPECT_TRUE(Shows(ui, 50));
  state.bytesSent = 800;
  EXPECT_TRUE(Shows(ui, 80));
  ticker.StopProgressFeed();
  InstallUserInterface(nullptr);
  ResetAppState();
}

}  // namespace
}  // namespace vandrel
