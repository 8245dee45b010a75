#include "cli/interrupt_watch.h"

namespace vandrel {

namespace {
// How often the watcher looks whether the watch has ended, between interrupts.
constexpr std::uint32_t kWatchPeriodMs = 50;
}  // namespace

InterruptWatch::InterruptWatch(SendStop& stop) : stop_(stop) {
  TakeInterrupts(true);
  watcher_ = std::thread([this] {
    while (!done_.load()) {
      const int status = AwaitInterrupt(kWatchPeriodMs);
      if (status == 0) continue;
      // the first interrupt's status is kept
      int none = 0;
      exitStatus_.compare_exchange_strong(none, status);
      stop_.Request();
    }
  });
}

InterruptWatch::~InterruptWatch() {
  done_ = true;
  watcher_.join();
  TakeInterrupts(false);
}

}  // namespace vandrel
