#pragma once

#include <atomic>
#include <thread>

#include "app/send_stop.h"

namespace vandrel {

// While it lives, the user's interrupt (SIGINT, SIGTERM or SIGHUP; Ctrl-C or Ctrl-Break in a
// Windows console) no longer ends the program at once: it requests `stop`, so that the send
// under way ends with its port closed and the run with its summary. No signal handler runs: on
// POSIX the signals are blocked and a thread of the watch takes them; on Windows the console
// calls its handler on a thread of its own. Create it before any other thread, which inherits
// the blocked signals.
class InterruptWatch {
 public:
  explicit InterruptWatch(SendStop& stop);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // The exit status the interrupt asks for: 130, or 143 for SIGTERM; 0 while none came.
  int ExitStatus() const { return exitStatus_.load(); }
  // An interrupt came, asking for `exitStatus` (the first one's is kept): the stop is requested.
  // Called by the platform's watcher.
  void Interrupted(int exitStatus) {
    int none = 0;
    exitStatus_.compare_exchange_strong(none, exitStatus);
    stop_.Request();
  }

 private:
  SendStop& stop_;
  std::atomic<int> exitStatus_{0};
  std::atomic<bool> done_{false};
  std::thread watcher_;
};

}  // namespace vandrel
