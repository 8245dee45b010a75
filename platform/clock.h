#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vandrel {

// What a waiting thread can be woken by: whoever may have made its condition true notifies it.
struct WakeSignal {
  std::mutex mutex;
  std::condition_variable changed;
  void Notify();
};

// Every wait goes through a clock handed to what waits, so that tests run minute-long time-outs
// in microseconds.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(std::uint32_t ms) = 0;
  // Milliseconds on a monotonic scale with an arbitrary origin.
  virtual std::uint64_t NowMs() = 0;
  // Sleeps at most `ms`, ending as soon as `ready()` holds (looked at whenever `signal` is
  // notified); returns the milliseconds slept. A clock that cannot be woken sleeps them all.
  virtual std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                                   const std::function<bool()>& ready);
};

class RealClock final : public Clock {
 public:
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override;
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                           const std::function<bool()>& ready) override;
};

// Sleeping advances virtual time at once. The sleeping thread still pauses for a few microseconds,
// so that the threads it polls (a serial reader, a scripted device) get to run between two polls.
class VirtualClock final : public Clock {
 public:
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override { return now_.load(); }
  // No time passes when `ready()` already holds; otherwise all of `ms` does.
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                           const std::function<bool()>& ready) override;
  void Advance(std::uint64_t ms) { now_ += ms; }
  // Total time slept through this clock, for asserting on waits.
  std::uint64_t SleptMs() const { return slept_.load(); }

 private:
  std::atomic<std::uint64_t> now_{0};
  std::atomic<std::uint64_t> slept_{0};
};

// Real time running `scale` times faster: every pause is cut short in proportion and the time
// read moves on as much faster, so that a program's minute-long time-outs pass in seconds while
// its threads and the devices it talks to keep their real pace.
class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(std::uint32_t scale) : scale_(scale == 0 ? 1 : scale) {}
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override;
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                           const std::function<bool()>& ready) override;

 private:
  std::uint32_t scale_;
};

}  // namespace vandrel
