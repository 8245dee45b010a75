#pragma once

#include <algorithm>
#include <cstdint>

#include "sound/ima_tables.h"

namespace vandrel {

// The encoder's running state within one block.
//
// The IMA ADPCM quantiser tries step, step / 2 and step / 4 in turn (each rounded down), taking
// away what fits; the predictor then moves by step / 8 plus all that was taken. Every trial is a
// compare and a masked subtraction, and the predictor's direction is chosen by a mask: there is no
// branch, because the sign of a real sound's differences is too irregular for a branch
// predictor. One sample still waits for the one before it, so the encoder keeps two blocks in
// flight (see ima_encoder.cpp) to give the processor independent work.
struct Quantiser {
  std::int32_t predictor;
  std::int32_t index;

  // The 4-bit code for `sample`, with the predictor and the step index moved on as a decoder
  // will move them.
  std::uint8_t Encode(std::int32_t sample) {
    const std::int32_t step = kStepTable[index];
    const std::int32_t below = -static_cast<std::int32_t>(sample < predictor);  // all ones
    const std::int32_t distance = std::max(sample - predictor, predictor - sample);
    std::int32_t rest = distance;
    const std::int32_t fours = TakeAway(rest, step);
    const std::int32_t twos = TakeAway(rest, step >> 1);
    const std::int32_t ones = TakeAway(rest, step >> 2);
    const std::int32_t magnitude = (fours << 2) | (twos << 1) | ones;
    const std::int32_t change = (step >> 3) + (distance - rest);
    // The predictor moves one way only, so only that end of the range can be overrun.
    const std::int32_t lowered = std::max(predictor - change, -32768);
    const std::int32_t raised = std::min(predictor + change, 32767);
    predictor = raised + ((lowered - raised) & below);
    index = kNextStepIndex[index][magnitude];
    return static_cast<std::uint8_t>((below & kCodeSign) | magnitude);
  }

 private:
  // Takes `part` off `rest` when it fits: 1 when it did, else 0. Written with a mask, as a
  // choice between two values would be compiled into a branch here.
  static std::int32_t TakeAway(std::int32_t& rest, std::int32_t part) {
    const std::int32_t fits = -static_cast<std::int32_t>(rest >= part);  // all ones
    rest -= part & fits;
    return fits & 1;
  }
};

}  // namespace vandrel
