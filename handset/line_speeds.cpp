#include "handset/line_speeds.h"

#include <algorithm>

namespace vandrel {

void ReorderLineSpeeds(LineSpeeds& list, std::int32_t speed) {
  const auto count =
      static_cast<std::size_t>(std::clamp<std::int32_t>(list.count, 0, kMaxLineSpeeds));
  std::array<std::int32_t, kMaxLineSpeeds> reordered{};
  reordered[0] = speed;
  std::size_t next = 1;
  for (std::size_t i = 0; i < count && next < count; ++i)
    if (list.speeds[i] != speed) reordered[next++] = list.speeds[i];
  std::copy(reordered.begin(), reordered.begin() + static_cast<std::ptrdiff_t>(next),
            list.speeds.begin());
}

int LineSpeedTimeoutMs(std::int32_t speed) {
  constexpr int kTenthsOfCharacterMs = 1152000;
  if (speed <= 0) return 1;
  return (kTenthsOfCharacterMs / speed + 9) / 10;
}

}  // namespace vandrel
