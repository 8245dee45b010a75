#include <windows.h>

#include "cli/interrupt_watch.h"

namespace vandrel {

namespace {

constexpr int kInterruptStatus = 130;

// Set by the console's handler, waited for by the watcher.
HANDLE InterruptEvent() {
  static const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  return event;
}

// Called by the console on a thread of its own; true keeps the program running.
BOOL WINAPI ConsoleInterrupted(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  SetEvent(InterruptEvent());
  return TRUE;
}

}  // namespace

void TakeInterrupts(bool taken) {
  SetConsoleCtrlHandler(ConsoleInterrupted, taken ? TRUE : FALSE);
}

int AwaitInterrupt(std::uint32_t maxMs) {
  return WaitForSingleObject(InterruptEvent(), maxMs) == WAIT_OBJECT_0 ? kInterruptStatus : 0;
}

}  // namespace vandrel
