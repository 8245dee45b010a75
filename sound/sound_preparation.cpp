#include "sound/sound_preparation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "sound/float_sample_reader.h"
#include "sound/pcm_wav_writer.h"
#include "sound/stretch_resampler.h"
#include "sound/wav_reader.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kHandsetRate = 8000;
constexpr std::uint32_t kMinInputRate = 4000;
constexpr std::uint32_t kMaxInputRate = 192000;

// Frames of the input to keep, and samples of the output: everything when no trim is asked for.
struct Budget {
  std::uint64_t inputFrames;
  std::uint64_t outputSamples;
};

Budget BudgetFor(const SoundPreparation& options, std::uint32_t inputRate) {
  constexpr auto kAll = std::numeric_limits<std::uint64_t>::max();
  // The largest trim that cannot overflow a frame count; anything longer keeps it all.
  constexpr double kLongestTrim = 1e9;
  if (!(options.maxSeconds > 0) || options.maxSeconds > kLongestTrim) return {kAll, kAll};
  // A few input frames beyond the trim, so that the resampler's rounding never leaves the
  // output a sample short of it.
  constexpr std::uint64_t kTrimMarginFrames = 64;
  return {static_cast<std::uint64_t>(std::ceil(options.maxSeconds * inputRate)) + kTrimMarginFrames,
          static_cast<std::uint64_t>(std::llround(options.maxSeconds * kHandsetRate))};
}

float GainFor(std::span<const float> samples, bool normalise) {
  if (!normalise) return 1.0f;
  float peak = 0;
  for (const float sample : samples) peak = std::max(peak, std::abs(sample));
  // A peak below the smallest normal float is silence for any output: its reciprocal would be
  // infinite, and silence times infinity is not a number.
  return peak >= std::numeric_limits<float>::min() ? 1.0f / peak : 1.0f;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PrepareSound(std::span<const std::uint8_t> wav,
                                                      const SoundPreparation& options) {
  WavFormat format;
  if (ReadWavHeader(wav, wav.size(), format) != CONV_OK ||
      FindDataChunk(wav, wav.size(), format) != CONV_OK)
    return std::nullopt;
  if (format.sampleRate < kMinInputRate || format.sampleRate > kMaxInputRate) return std::nullopt;
  try {
    FloatSampleReader reader;
    if (!reader.Open(wav, format)) return std::nullopt;
    const Budget budget = BudgetFor(options, format.sampleRate);
    std::vector<float> output;
    if (!ResampleToMono(wav, format, std::min(reader.Frames(), budget.inputFrames), kHandsetRate,
                        output))
      return std::nullopt;
    if (output.size() > budget.outputSamples) output.resize(budget.outputSamples);
    std::vector<std::uint8_t> image =
        Pcm16MonoWav(output, GainFor(output, options.normalise), kHandsetRate);
    if (image.empty()) return std::nullopt;
    return image;
  } catch (const std::bad_alloc&) {
    // A sound too long for the memory at hand is refused like any other.
    return std::nullopt;
  }
}

}  // namespace vandrel
