#pragma once

#include <atomic>
#include <cstdint>

namespace vandrel {

// Waiting in this program is sleeping and polling. Every wait goes through the installed clock so
// that tests run minute-long time-outs in microseconds.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(std::uint32_t ms) = 0;
  // Milliseconds on a monotonic scale with an arbitrary origin.
  virtual std::uint64_t NowMs() = 0;
};

class RealClock final : public Clock {
 public:
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override;
};

// Sleeping advances virtual time at once. The sleeping thread still pauses for a few microseconds,
// so that the threads it polls (a serial reader, a scripted device) get to run between two polls.
class VirtualClock final : public Clock {
 public:
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override { return now_.load(); }
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

 private:
  std::uint32_t scale_;
};

// The clock chosen at start-up; a RealClock unless another one was installed.
Clock& TheClock();
// Installs `clock` (nullptr restores the real clock). The caller keeps it alive while installed.
void InstallClock(Clock* clock);

}  // namespace vandrel
