#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vandrel {

// A 16-bit PCM mono WAV image of `samples` (full scale 1) at `sampleRate`, each sample scaled by
// `gain`, rounded, and clipped to the 16-bit range. Empty when the image would not fit the
// 32-bit sizes of its header.
std::vector<std::uint8_t> Pcm16MonoWav(std::span<const float> samples, float gain,
                                       std::uint32_t sampleRate);

}  // namespace vandrel
