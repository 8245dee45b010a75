#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/send_job.h"

namespace vandrel {

// The command line's progress feed: while a download runs, a thread of its own redraws the bar
// every 40 ms, as the window's timer does.
class ProgressTicker final : public SendFrontEnd {
 public:
  ProgressTicker() = default;
  ProgressTicker(const ProgressTicker&) = delete;
  ProgressTicker& operator=(const ProgressTicker&) = delete;
  ~ProgressTicker() override { StopProgressFeed(); }

  void StartProgressFeed(ProgressDisplay& progress) override;
  void StopProgressFeed() override;
  void CloseProgress() override {}

 private:
  void Tick(ProgressDisplay& progress);

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable stopRequested_;
  bool stopping_ = false;
};

}  // namespace vandrel
