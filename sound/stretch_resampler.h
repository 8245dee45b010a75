#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sound/wav_format.h"

namespace vandrel {

// A run of input frames [begin, end) whose share of the output is resampled on its own.
struct Stretch {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  bool last = false;  // the end of the input: the resampler's tail is flushed
};

// The stretches the first `frames` frames at `inputRate` are cut into. A cut falls on a frame
// that lies exactly on an output sample at `outputRate`, so that each stretch's output joins
// the next one's without a seam; a short sound, or one whose rates meet on such frames too
// seldom, stays whole.
std::vector<Stretch> PlanStretches(std::uint64_t frames, std::uint32_t inputRate,
                                   std::uint32_t outputRate);

// Decodes the first `frames` frames of `image` (its header parsed into `format`), mixes them
// down to mono and resamples them to `outputRate` into `output`, the stretches resampled side
// by side. False when the data cannot be read or the resampler fails.
bool ResampleToMono(std::span<const std::uint8_t> image, const WavFormat& format,
                    std::uint64_t frames, std::uint32_t outputRate, std::vector<float>& output);

}  // namespace vandrel
