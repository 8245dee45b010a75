#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vandrel {

// Mixes interleaved frames of `channels` samples down to one channel, each frame the mean of its
// samples, so that a full-scale sound stays within full scale. `mono` must hold a sample for
// each whole frame of `interleaved`; returns the frames written.
std::size_t MixToMono(std::span<const float> interleaved, std::uint16_t channels,
                      std::span<float> mono);

}  // namespace vandrel
