#include "cli/progress_ticker.h"

#include <chrono>

#include "runtime/progress_display.h"

namespace vandrel {

namespace {
constexpr std::chrono::milliseconds kTickPeriod{40};
}  // namespace

void ProgressTicker::StartProgressFeed(ProgressDisplay& progress) {
  StopProgressFeed();
  stopping_ = false;
  thread_ = std::thread([this, &progress] { Tick(progress); });
}

void ProgressTicker::StopProgressFeed() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopRequested_.notify_one();
  thread_.join();
}

void ProgressTicker::Tick(ProgressDisplay& progress) {
  std::unique_lock lock(mutex_);
  // the ticker waits on a condition rather than the program's clock: it is no protocol wait,
  // and stopping it must not cost a period
  while (!stopRequested_.wait_for(lock, kTickPeriod, [this] { return stopping_; })) {
    lock.unlock();
    progress.Update();
    lock.lock();
  }
}

}  // namespace vandrel
