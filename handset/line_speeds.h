#pragma once

#include <array>
#include <cstdint>

namespace vandrel {

inline constexpr std::size_t kMaxLineSpeeds = 8;

// The line speeds the detection tries, in order; the one that worked moves to the front.
struct LineSpeeds {
  std::int32_t count = kMaxLineSpeeds;
  std::array<std::int32_t, kMaxLineSpeeds> speeds{115200, 57600, 19200, 4800,
                                                  38400,  9600,  2400,  1200};
  bool operator==(const LineSpeeds&) const = default;
};

// Puts `speed` first, the other entries after it in their order, leaving out its repeats.
void ReorderLineSpeeds(LineSpeeds& list, std::int32_t speed);
// The read time-out for one byte at `speed` bit/s: about one character time, at least 1 ms.
int LineSpeedTimeoutMs(std::int32_t speed);

}  // namespace vandrel
