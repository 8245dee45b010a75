#pragma once

#include <cstdint>
#include <span>

#include "sound/wav_format.h"

namespace vandrel {

// Samples held by `bytes` of a mono ADPCM stream cut into blocks of `blockLength` bytes that
// carry `samplesPerBlock` samples each, a trailing partial block included.
std::uint64_t ImaSamplesInBytes(std::uint64_t bytes, std::uint32_t blockLength,
                                std::uint32_t samplesPerBlock);

// Prepares `input` for DecodeSamples and computes its sampleCount. A handset ADPCM input needs
// no decoder and succeeds as it is; false for any other encoding, an IMA ADPCM block geometry
// that cannot be decoded, or memory that cannot be obtained.
bool DecoderSetup(WavFormat& input);

// Decodes up to `samples.size()` samples from one slice of the input's data (for IMA ADPCM, a
// run of whole blocks and perhaps a final partial one) and returns how many it delivered.
std::uint32_t DecodeSamples(WavFormat& input, std::span<const std::uint8_t> slice,
                            std::span<std::int16_t> samples);

}  // namespace vandrel
