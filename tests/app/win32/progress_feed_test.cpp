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

  // Runs `request` on a worker, as the send job does, while this thread handles messages for
  // `duration`; the request needs this thread's messages to be handled before it returns.
  void FromWorker(const std::function<void(HWND)>& request, std::chrono::milliseconds duration) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      request(window_);
      done = true;
    });
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!done || std::chrono::steady_clock::now() < end) {
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
  std::atomic<std::uint64_t> sent{500};
  progress.Begin("", TXT_TRANSFER_INIT, 1000, [&sent] { return sent.load(); });
  FromWorker([&progress](HWND window) { StartProgressTimer(window, progress); }, 300ms);
  EXPECT_EQ(boxes_.percents, (std::vector<std::uint32_t>{0, 50}));

  FromWorker(StopProgressTimer, 0ms);
  sent = 800;
  FromWorker([](HWND) {}, 300ms);
  EXPECT_EQ(boxes_.percents.back(), 50u);
}

}  // namespace
}  // namespace vandrel
