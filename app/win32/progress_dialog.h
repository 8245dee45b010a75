#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "app/win32/dialog_dispatch.h"

namespace vandrel {

// The modal dialog that a send runs while its worker talks to the handset: the phase as the
// group title, a bar from 0 to 100, the "Downloaded" line and a Cancel button. It cannot be closed
// by the user (Enter, Escape, Cancel, the close request) until Finish; the worker's close request
// after Finish ends it. Before that, Cancel, Escape and the close request ask to stop the send
// when a stop is offered.
class ProgressDialog {
 public:
  explicit ProgressDialog(HWND parent);
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  // `askToStop` runs on the dialog's thread when the user asks to cancel, and returns whether the
  // send is being stopped; the Cancel button is then disabled and the dialog may close. Set
  // before Run.
  void OfferStop(std::function<bool()> askToStop) { askToStop_ = std::move(askToStop); }

  // Runs the dialog on the calling thread until it is closed.
  void Run();

  // These three may be called from any thread, before or while the dialog runs: what they show
  // is kept and shown again when the dialog appears.
  void ShowPhase(std::string_view caption, std::string_view phase);
  void ShowPercent(std::uint32_t percent, std::string_view line);
  // Lets the next close request end the dialog.
  void Finish();

  // The dialog's window while it runs, else nullptr.
  HWND window() const { return window_.load(); }

 private:
  friend struct DialogDispatch<ProgressDialog>;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void ShowAll(HWND window);
  void CloseOrAskToStop();

  HWND parent_;
  std::atomic<HWND> window_{nullptr};
  std::atomic<bool> mayClose_{true};
  std::function<bool()> askToStop_;

  std::mutex mutex_;
  std::string caption_;
  std::string phase_;
  std::string line_;
  std::uint32_t percent_ = 0;
};

}  // namespace vandrel
