#include <pthread.h>
#include <signal.h>

#include <ctime>

#include "cli/interrupt_watch.h"

namespace vandrel {

namespace {

constexpr int kInterruptStatus = 130;
constexpr int kTerminateStatus = 143;
constexpr long kNanosecondsPerMs = 1'000'000;

sigset_t InterruptSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

}  // namespace

// Blocked, the signals stay pending until the watcher takes them with sigtimedwait: no handler
// runs at all. Unblocked again, one that comes later ends the program as it always did.
void TakeInterrupts(bool taken) {
  const sigset_t signals = InterruptSignals();
  pthread_sigmask(taken ? SIG_BLOCK : SIG_UNBLOCK, &signals, nullptr);
}

int AwaitInterrupt(std::uint32_t maxMs) {
  const sigset_t signals = InterruptSignals();
  const timespec wait{static_cast<time_t>(maxMs / 1000),
                      static_cast<long>(maxMs % 1000) * kNanosecondsPerMs};
  const int signal = sigtimedwait(&signals, nullptr, &wait);
  if (signal <= 0) return 0;
  return signal == SIGTERM ? kTerminateStatus : kInterruptStatus;
}

}  // namespace vandrel
