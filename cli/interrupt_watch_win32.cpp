#include <windows.h>

#include "cli/interrupt_watch.h"

namespace vandrel {

namespace {

constexpr int kInterruptStatus = 130;

// The console's handler has no context of its own: the one watch of the process.
std::atomic<InterruptWatch*> theWatch{nullptr};

}  // namespace

// Called by the console on a thread of its own; true keeps the program running.
BOOL WINAPI ConsoleInterrupted(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  InterruptWatch* watch = theWatch.load();
  if (watch == nullptr) return FALSE;
  watch->Interrupted(kInterruptStatus);
  return TRUE;
}

InterruptWatch::InterruptWatch(SendStop& stop) : stop_(stop) {
  theWatch = this;
  SetConsoleCtrlHandler(ConsoleInterrupted, TRUE);
}

InterruptWatch::~InterruptWatch() {
  SetConsoleCtrlHandler(ConsoleInterrupted, FALSE);
  theWatch = nullptr;
}

}  // namespace vandrel
