#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace vandrel {

// A clock whose waits another thread can cut short. Until Stop it is `inner`; from Stop on, every
// wait ends at once and the time it was to take passes all the same, so that whatever was waiting
// gives up as at the end of its time-out, however many waits it has left. Restart makes it `inner`
// again; threads that keep it (a port's reader) then wait as before.
class StoppableClock final : public Clock {
 public:
  explicit StoppableClock(Clock& inner) : inner_(inner) {}
  void Stop();
  void Restart() { stopped_ = false; }
  bool stopped() const { return stopped_.load(); }

  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override { return inner_.NowMs() + skippedMs_.load(); }
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                           const std::function<bool()>& ready) override;

 private:
  Clock& inner_;
  WakeSignal stop_;
  std::atomic<bool> stopped_{false};
  std::atomic<std::uint64_t> skippedMs_{0};
};

}  // namespace vandrel
