#include "app/win32/progress_feed.h"

#include "app/win32/progress_dialog.h"
#include "platform/clock.h"

namespace vandrel {

namespace {

constexpr UINT kProgressTimerMs = 40;
constexpr UINT kStartTimerMessage = WM_APP + 1;
constexpr UINT kStopTimerMessage = WM_APP + 2;
// The window property that holds the progress display the running timer feeds.
constexpr const wchar_t* kFedProgressProperty = L"VandrelFedProgress";
// How often the wait for the worker looks at its flag between two sent messages.
constexpr DWORD kWorkerPollMs = 20;
// How often the worker looks whether the progress dialog is up.
constexpr std::uint32_t kDialogPollMs = 10;

}  // namespace

void StartProgressTimer(HWND window, ProgressDisplay& progress) {
  SendMessageW(window, kStartTimerMessage, 0, reinterpret_cast<LPARAM>(&progress));
}

void StopProgressTimer(HWND window) {
  SendMessageW(window, kStopTimerMessage, 0, 0);
}

bool HandleProgressTimerMessage(HWND window, UINT message, LPARAM lParam) {
  switch (message) {
    case kStartTimerMessage:
      SetPropW(window, kFedProgressProperty, reinterpret_cast<HANDLE>(lParam));
      SetTimer(window, kProgressTimerId, kProgressTimerMs, nullptr);
      return true;
    case kStopTimerMessage:
      KillTimer(window, kProgressTimerId);
      RemovePropW(window, kFedProgressProperty);
      return true;
    case WM_TIMER:
      if (auto* progress = static_cast<ProgressDisplay*>(GetPropW(window, kFedProgressProperty)))
        progress->Update();
      return false;
    default:
      return false;
  }
}

void JoinServingSentMessages(std::thread& worker, const std::atomic<bool>& done) {
  while (!done.load()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kWorkerPollMs, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  worker.join();
}

void WindowSendFrontEnd::AwaitProgressLoop(std::uint32_t maxMs) {
  Clock& clock = clock_;
  const std::uint64_t deadline = clock.NowMs() + maxMs;
  while (dialog_.window() == nullptr && clock.NowMs() < deadline) clock.Sleep(kDialogPollMs);
}

void WindowSendFrontEnd::StartProgressFeed(ProgressDisplay& progress) {
  StartProgressTimer(timerWindow_, progress);
}

void WindowSendFrontEnd::StopProgressFeed() {
  StopProgressTimer(timerWindow_);
}

void WindowSendFrontEnd::CloseProgress() {
  PostMessageW(dialog_.window(), WM_CLOSE, 0, 0);
}

}  // namespace vandrel
