#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "app/send_stop.h"

namespace vandrel {

// While it lives, the user's interrupt (SIGINT, SIGTERM or SIGHUP; Ctrl-C or Ctrl-Break in a
// Windows console) no longer ends the program at once: a thread of the watch takes it and requests
// `stop`, so that the send under way ends with its port closed and the run with its summary. Create
// it before any other thread, which inherits the blocked signals.
class InterruptWatch {
 public:
  explicit InterruptWatch(SendStop& stop);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // The exit status the interrupt asks for: 130, or 143 for SIGTERM; 0 while none came.
  int ExitStatus() const { return exitStatus_.load(); }

 private:
  SendStop& stop_;
  std::atomic<int> exitStatus_{0};
  std::atomic<bool> done_{false};
  std::thread watcher_;
};

// The platform's side (interrupt_watch_posix.cpp, interrupt_watch_win32.cpp). While taken, an
// interrupt no longer ends the program but waits for AwaitInterrupt; no handler does more than
// what is safe inside a signal.
void TakeInterrupts(bool taken);
// Waits at most `maxMs` for an interrupt; the exit status it asks for, 0 when none came.
int AwaitInterrupt(std::uint32_t maxMs);

}  // namespace vandrel
