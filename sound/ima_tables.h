#pragma once

#include <array>
#include <cstdint>

namespace vandrel {

// The quantiser of IMA ADPCM: 89 step sizes, and how each 4-bit code moves the step index.
inline constexpr std::int32_t kMaxStepIndex = 88;

inline constexpr std::array<std::int32_t, kMaxStepIndex + 1> kStepTable = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
static_assert(kStepTable.back() == 32767, "every step size is listed");

// Indexed by the whole code: the sign bit (8) does not change the adjustment.
inline constexpr std::array<std::int32_t, 16> kIndexAdjustment = {-1, -1, -1, -1, 2, 4, 6, 8,
                                                                  -1, -1, -1, -1, 2, 4, 6, 8};

inline constexpr std::uint8_t kCodeSign = 8;
inline constexpr std::uint8_t kCodeMagnitude = 7;

constexpr std::int32_t ClampStepIndex(std::int32_t index) {
  return index < 0 ? 0 : (index > kMaxStepIndex ? kMaxStepIndex : index);
}

// The step index after each magnitude, for every current index: the decoder's one look-up.
inline constexpr auto kNextStepIndex = [] {
  std::array<std::array<std::uint8_t, kCodeMagnitude + 1>, kMaxStepIndex + 1> table{};
  for (std::int32_t index = 0; index <= kMaxStepIndex; ++index)
    for (std::int32_t magnitude = 0; magnitude <= kCodeMagnitude; ++magnitude)
      table[index][magnitude] =
          static_cast<std::uint8_t>(ClampStepIndex(index + kIndexAdjustment[magnitude]));
  return table;
}();

}  // namespace vandrel
