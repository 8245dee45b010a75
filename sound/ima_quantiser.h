#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "sound/ima_tables.h"

namespace vandrel {

// The IMA ADPCM quantiser tries step, step / 2 and step / 4 in turn (each rounded down), taking
// away what fits. Those sums grow with the magnitude they give, so the magnitude is the number
// of them that the difference reaches, and the change of the predictor is step / 8 plus the
// increments between the sums reached. Written so, the seven comparisons and the change run side
// by side instead of one after another, without a branch (the sign of a real sound's
// differences is too irregular for a branch predictor). One row per step index, one cache line:
// the sum for each magnitude 1..7, its increment over the sum below it, step / 8, and the step
// index that follows each magnitude 0..7.
struct alignas(64) QuantiserRow {
  std::array<std::int32_t, kCodeMagnitude> reached;
  std::array<std::int32_t, kCodeMagnitude> increment;
  std::int32_t eighth;
  std::array<std::uint8_t, kCodeMagnitude + 1> next;
};

inline constexpr auto kQuantiser = [] {
  std::array<QuantiserRow, kMaxStepIndex + 1> rows{};
  for (std::size_t index = 0; index < rows.size(); ++index) {
    const std::int32_t step = kStepTable[index];
    std::int32_t below = 0;
    for (std::int32_t magnitude = 0; magnitude <= kCodeMagnitude; ++magnitude) {
      const std::int32_t sum = ((magnitude & 4) != 0 ? step : 0) +
                               ((magnitude & 2) != 0 ? step >> 1 : 0) +
                               ((magnitude & 1) != 0 ? step >> 2 : 0);
      if (magnitude > 0) {
        rows[index].reached[magnitude - 1] = sum;
        rows[index].increment[magnitude - 1] = sum - below;
      }
      below = sum;
      rows[index].next[magnitude] = kNextStepIndex[index][magnitude];
    }
    rows[index].eighth = step >> 3;
  }
  return rows;
}();

// The encoder's running state within one block.
struct Quantiser {
  std::int32_t predictor;
  std::int32_t index;

  // The 4-bit code for `sample`, with the predictor and the step index moved on as a decoder
  // will move them.
  std::uint8_t Encode(std::int32_t sample) {
    const QuantiserRow& row = kQuantiser[index];
    const std::int32_t up = sample - predictor;
    const std::int32_t down = predictor - sample;
    const std::int32_t below = -static_cast<std::int32_t>(up < 0);  // all ones when below
    const std::int32_t d = std::max(up, down);
    const auto& r = row.reached;
    const auto& inc = row.increment;
    // All ones for each sum that the difference reaches.
    const std::int32_t r0 = -(d >= r[0]), r1 = -(d >= r[1]), r2 = -(d >= r[2]), r3 = -(d >= r[3]),
                       r4 = -(d >= r[4]), r5 = -(d >= r[5]), r6 = -(d >= r[6]);
    const std::int32_t magnitude = -(((r0 + r1) + (r2 + r3)) + ((r4 + r5) + r6));
    const std::int32_t change =
        row.eighth + (((inc[0] & r0) + (inc[1] & r1)) + ((inc[2] & r2) + (inc[3] & r3))) +
        (((inc[4] & r4) + (inc[5] & r5)) + (inc[6] & r6));
    // The predictor moves one way only, so only that end of the range can be overrun.
    const std::int32_t lowered = std::max(predictor - change, -32768);
    const std::int32_t raised = std::min(predictor + change, 32767);
    predictor = raised + ((lowered - raised) & below);
    index = row.next[magnitude];
    return static_cast<std::uint8_t>((below & kCodeSign) | magnitude);
  }
};

}  // namespace vandrel
