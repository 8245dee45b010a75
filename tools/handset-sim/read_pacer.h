#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace vandrel::sim {

// Holds reading back to a serial line's speed: ten bit times per byte (start, eight data bits,
// stop). A speed of 0 reads as fast as the bytes come.
class ReadPacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ReadPacer(std::uint32_t baud) : bytesPerSecond_(baud / kBitsPerByte) {}

  bool Active() const { return bytesPerSecond_ > 0; }
  // At most this many bytes per read, so that a read never takes more than a slice of line time.
  std::size_t ChunkLimit(std::size_t bufferSize) const {
    if (!Active()) return bufferSize;
    return std::clamp<std::size_t>(bytesPerSecond_ / kSlicesPerSecond, 1, bufferSize);
  }
  Clock::time_point NextReadAllowed() const { return nextRead_; }
  void Consumed(std::size_t bytes, Clock::time_point now) {
    if (!Active()) return;
    // An idle line earns no credit: the bytes after a pause start timing afresh.
    nextRead_ = std::max(nextRead_, now) +
                std::chrono::microseconds(bytes * kMicrosecondsPerSecond / bytesPerSecond_);
  }

 private:
  static constexpr std::uint32_t kBitsPerByte = 10;
  static constexpr std::size_t kSlicesPerSecond = 50;
  static constexpr std::uint64_t kMicrosecondsPerSecond = 1'000'000;

  std::uint64_t bytesPerSecond_;
  Clock::time_point nextRead_{};
};

}  // namespace vandrel::sim
