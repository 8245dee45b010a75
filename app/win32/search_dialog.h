#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

#include "app/win32/dialog_dispatch.h"

namespace vandrel {

// The small modal dialog of the "Auto" search: the port being tried and a Cancel button. The
// search runs on a worker meanwhile, and the window behind keeps painting. Cancel, Escape and the
// close box call `cancel` and leave the dialog up until the worker, cut short, ends it.
class SearchDialog {
 public:
  SearchDialog(HWND parent, std::function<void()> cancel);
  SearchDialog(const SearchDialog&) = delete;
  SearchDialog& operator=(const SearchDialog&) = delete;

  // Runs the dialog on the calling thread until End.
  void Run();
  // From the worker, before or while the dialog runs.
  void ShowPort(std::int32_t port);
  void End();

  // The dialog's window while it runs, else nullptr.
  HWND window() const { return window_.load(); }

 private:
  friend struct DialogDispatch<SearchDialog>;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void ShowPortText(HWND window);
  void Cancel();

  HWND parent_;
  std::function<void()> cancel_;
  std::atomic<HWND> window_{nullptr};
  std::atomic<std::int32_t> port_{0};
  std::atomic<bool> ended_{false};
  std::atomic<bool> cancelled_{false};
};

}  // namespace vandrel
