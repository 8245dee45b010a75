#include "app/win32/progress_feed.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "gui_test_support.h"
#include "runtime/message_catalogue.h"
#include "runtime/progress_display.h"

namespace vandrel {
namespace {

using namespace std::chrono_literals;

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleProgressTimerMessage(window, message, lParam)) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

class ProgressFeedTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WNDCLASSW timerClass{};
    timerClass.lpfnWndProc = TimerWindowProc;
    timerClass.hInstance = GetModuleHandleW(nullptr);
    timerClass.lpszClassName = L"VandrelTimerTest";
    RegisterClassW(&timerClass);
    window_ = CreateWindowExW(0, L"VandrelTimerTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              timerClass.hInstance, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    GuiTest::TearDown();
  }

  // Runs `request` on a worker, as the send job does, while this thread handles messages until
  // `done` holds (at most 10 s); the request needs them handled before it returns.
  void FromWorker(const std::function<void(HWND)>& request, const std::function<bool()>& done) {
    std::atomic<bool> returned{false};
    std::thread worker([&] {
      request(window_);
      returned = true;
    });
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!(returned && done()) && std::chrono::steady_clock::now() < limit) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      std::this_thread::sleep_for(5ms);
    }
    worker.join();
  }

  HWND window_ = nullptr;
};

TEST_F(ProgressFeedTest, TicksOfTheWorkersTimerShowTheProgressUntilItIsStopped) {
  ASSERT_NE(window_, nullptr);
  ProgressDisplay progress(ui_);
  progress.Begin("", TXT_TRANSFER_INIT, 1000, [] { return std::uint64_t{500}; });
  FromWorker([&progress](HWND window) { StartProgressTimer(window, progress); },
             [&] { return boxes_.percents.size() >= 2; });
  EXPECT_EQ(boxes_.percents, (std::vector<std::uint32_t>{0, 50}));

  FromWorker(StopProgressTimer, [] { return true; });
  // a stopped timer is gone: the window has none left to kill, and no tick is left queued
  EXPECT_FALSE(KillTimer(window_, kProgressTimerId));
  MSG tick;
  EXPECT_FALSE(PeekMessageW(&tick, window_, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

}  // namespace
}  // namespace vandrel
