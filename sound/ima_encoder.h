#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/wav_format.h"

namespace vandrel {

// The handset ADPCM file header: RIFF, a 30-byte "fmt ", "fact" and the "data" chunk header.
inline constexpr std::size_t kHandsetHeaderBytes = 70;

// Completes `output` (formatTag, channels, sampleRate, blockAlign and sampleCount filled in by
// the caller), writes the file header into `header` and prepares the block buffers. Returns the
// header length, or 0 when the description cannot be encoded or memory is short.
std::size_t EncoderSetup(WavFormat& output, std::span<std::uint8_t> header);

// Encodes `samples` into whole blocks at the start of `blocks`: ceil(count / samplesPerBlock)
// of them, the last one padded with silence. Returns the samples consumed, which is all of
// them when `blocks` has room.
std::uint32_t EncodeSamples(WavFormat& output, std::span<const std::int16_t> samples,
                            std::span<std::uint8_t> blocks);

// Encodes the block sample buffer into the block byte buffer, and carries the step index on.
void EncodeBlock(WavFormat& output);

}  // namespace vandrel
