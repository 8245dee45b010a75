#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vandrel {

// How a sound is fitted to the handset besides mixing and resampling; both off by default.
struct SoundPreparation {
  double maxSeconds = 0;   // keep at most this long from the start; 0 keeps it all
  bool normalise = false;  // scale so that the loudest sample reaches full scale
};

// Decodes any WAV image the reader can parse (any channel count, 4 to 192 kHz, 8/16/24/32-bit
// integer PCM, 32-bit float, A-law, mu-law, IMA ADPCM, WAVE_FORMAT_EXTENSIBLE with those
// sub-formats), mixes it down to mono, resamples it to 8000 Hz with libsamplerate, applies
// `options`, and returns the result as a 16-bit PCM mono 8000 Hz WAV image: one the existing
// ConvertSound accepts and turns into handset ADPCM. No value when the image is not such a WAV.
std::optional<std::vector<std::uint8_t>> PrepareSound(std::span<const std::uint8_t> wav,
                                                      const SoundPreparation& options);

}  // namespace vandrel
