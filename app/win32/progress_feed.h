#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/send_job.h"

namespace vandrel {

class ProgressDialog;

// The id of the progress timer on its window.
inline constexpr UINT_PTR kProgressTimerId = 2;

// The 40 ms timer that feeds the progress dialog while a download runs. A timer belongs to the
// thread of its window, so the send job's worker asks the window's thread to start and stop it;
// the window's thread is inside the progress dialog's modal loop then, which handles the request.
void StartProgressTimer(HWND window, ProgressDisplay& progress);
void StopProgressTimer(HWND window);
// Handles the timer requests (`lParam` is the message's) and the ticks for `window`: a tick
// shows the new percentage of the display the timer was started for. Returns true for a request,
// which is then done with; a tick goes on to default handling.
bool HandleProgressTimerMessage(HWND window, UINT message, LPARAM lParam);

// Joins the send's worker once `done` is set, handling meanwhile the messages the worker sends to
// this thread's windows (the timer requests), and only those: the window takes no input until the
// send is over.
void JoinServingSentMessages(std::thread& worker, const std::atomic<bool>& done);

// The window's side of a send: the timer on `timerWindow`, and the close request to the dialog
// that the window's thread runs for the send.
class WindowSendFrontEnd final : public SendFrontEnd {
 public:
  WindowSendFrontEnd(HWND timerWindow, const ProgressDialog& dialog, Clock& clock)
      : timerWindow_(timerWindow), dialog_(dialog), clock_(clock) {}
  void AwaitProgressLoop(std::uint32_t maxMs) override;
  void StartProgressFeed(ProgressDisplay& progress) override;
  void StopProgressFeed() override;
  void CloseProgress() override;
  bool ShowsProgressDialog() const override { return true; }

 private:
  HWND timerWindow_;
  const ProgressDialog& dialog_;
  Clock& clock_;
};

}  // namespace vandrel
