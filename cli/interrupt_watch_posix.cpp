#include <pthread.h>
#include <signal.h>

#include <ctime>

#include "cli/interrupt_watch.h"

namespace vandrel {

namespace {

constexpr int kInterruptStatus = 130;
constexpr int kTerminateStatus = 143;
// How often the watcher looks whether the watch has ended, between signals.
constexpr long kWatchPeriodNs = 50'000'000;

sigset_t InterruptSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

}  // namespace

InterruptWatch::InterruptWatch(SendStop& stop) : stop_(stop) {
  const sigset_t signals = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  watcher_ = std::thread([this, signals] {
    const timespec period{0, kWatchPeriodNs};
    while (!done_.load()) {
      const int signal = sigtimedwait(&signals, nullptr, &period);
      if (signal > 0) Interrupted(signal == SIGTERM ? kTerminateStatus : kInterruptStatus);
    }
  });
}

InterruptWatch::~InterruptWatch() {
  done_ = true;
  watcher_.join();
  // an interrupt that comes from now on ends the program as it always did
  const sigset_t signals = InterruptSignals();
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

}  // namespace vandrel
