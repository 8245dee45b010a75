#include "cli/progress_ticker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/user_interface.h"
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
  ProgressDisplay progress(ui);
  std::atomic<std::uint64_t> sent{500};
  progress.Begin("picture.png", TXT_IN_PROGRESS, 1000, [&sent] { return sent.load(); });
  ProgressTicker ticker;
  ticker.StartProgressFeed(progress);
  EXPECT_TRUE(Shows(ui, 50));
  sent = 800;
  EXPECT_TRUE(Shows(ui, 80));
  ticker.StopProgressFeed();
}

}  // namespace
}  // namespace vandrel
