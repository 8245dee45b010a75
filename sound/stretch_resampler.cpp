#include "sound/stretch_resampler.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>

#include "sound/channel_mixer.h"
#include "sound/float_sample_reader.h"
#include "sound/resampler.h"

namespace vandrel {

namespace {

// A sound shorter than this is resampled in one piece: a thread would cost more than it saves.
constexpr std::uint64_t kMinFramesToSplit = std::uint64_t{1} << 19;
// A longer sound is cut into this many stretches, each on a thread of its own: as many as a
// common desktop has cores. The number is fixed, so that the output does not depend on the
// machine.
constexpr std::size_t kStretches = 4;
// Input fed before and after a stretch so that the filter sees real sound around its edges:
// far more than the filter's half width even at 192 kHz.
constexpr std::uint64_t kMarginFrames = 4096;

// Input frames after which the input and the output are again on a common instant.
std::uint64_t AlignmentPeriod(std::uint32_t inputRate, std::uint32_t outputRate) {
  return inputRate / std::gcd(inputRate, outputRate);
}

// The lead-in and tail of a stretch: whole periods, so that they end on an output sample.
std::uint64_t MarginFrames(std::uint64_t period) {
  return (kMarginFrames / period + 1) * period;
}

std::uint64_t OutputIndex(std::uint64_t frame, std::uint32_t inputRate, std::uint32_t outputRate) {
  return frame * outputRate / inputRate;
}

// Reads the next `frames` frames through `resampler` into `produced`; flushes the filter after
// them when `flush`.
bool Feed(FloatSampleReader& reader, std::uint16_t channels, std::uint64_t frames, bool flush,
          Resampler& resampler, std::vector<float>& produced) {
  std::vector<float> mono;
  std::uint64_t framesLeft = frames;
  for (;;) {
    const std::span<const float> piece = reader.Next();
    mono.resize(piece.size() / channels);
    const std::size_t count = std::min<std::uint64_t>(MixToMono(piece, channels, mono), framesLeft);
    framesLeft -= count;
    const bool done = count == 0 || framesLeft == 0;
    if (!resampler.Process(std::span(mono).first(count), done && flush, produced)) return false;
    if (done) return true;
  }
}

bool ResampleStretch(std::span<const std::uint8_t> image, const WavFormat& format,
                     const Stretch& stretch, std::uint32_t outputRate, std::vector<float>& output) {
  try {
    FloatSampleReader reader;
    const std::uint64_t margin = MarginFrames(AlignmentPeriod(format.sampleRate, outputRate));
    const std::uint64_t start = stretch.begin - std::min(stretch.begin, margin);
    if (!reader.Open(image, format) || !reader.Seek(start)) return false;
    const std::uint64_t feedEnd = stretch.last ? stretch.end : stretch.end + margin;
    Resampler resampler(static_cast<double>(outputRate) / format.sampleRate);
    std::vector<float> produced;
    produced.reserve(OutputIndex(feedEnd - start, format.sampleRate, outputRate) + 1);
    if (!Feed(reader, format.channels, feedEnd - start, stretch.last, resampler, produced))
      return false;
    // The output of the lead-in is the previous stretch's, that of the tail the next one's.
    const std::uint64_t skip = OutputIndex(stretch.begin - start, format.sampleRate, outputRate);
    const std::uint64_t wanted =
        stretch.last ? produced.size()
                     : OutputIndex(stretch.end, format.sampleRate, outputRate) -
                           OutputIndex(stretch.begin, format.sampleRate, outputRate);
    if (skip > produced.size() || (!stretch.last && produced.size() - skip < wanted)) return false;
    output.assign(produced.begin() + static_cast<std::ptrdiff_t>(skip),
                  produced.begin() + static_cast<std::ptrdiff_t>(
                                         std::min<std::uint64_t>(skip + wanted, produced.size())));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

std::vector<Stretch> PlanStretches(std::uint64_t frames, std::uint32_t inputRate,
                                   std::uint32_t outputRate) {
  const std::uint64_t period = AlignmentPeriod(inputRate, outputRate);
  const std::uint64_t length = frames / kStretches / period * period;
  if (frames < kMinFramesToSplit || length < MarginFrames(period)) return {{0, frames, true}};
  std::vector<Stretch> stretches;
  for (std::uint64_t begin = 0; stretches.size() + 1 < kStretches; begin += length)
    stretches.push_back({begin, begin + length, false});
  stretches.push_back({stretches.back().end, frames, true});
  return stretches;
}

bool ResampleToMono(std::span<const std::uint8_t> image, const WavFormat& format,
                    std::uint64_t frames, std::uint32_t outputRate, std::vector<float>& output) {
  std::vector<Stretch> stretches = PlanStretches(frames, format.sampleRate, outputRate);
  // IMA ADPCM blocks are decoded in order only: such a sound is resampled in one piece.
  FloatSampleReader probe;
  if (!probe.Open(image, format)) return false;
  if (!probe.Seek(stretches.back().begin)) stretches = {{0, frames, true}};

  std::vector<std::vector<float>> outputs(stretches.size());
  std::vector<char> succeeded(stretches.size(), 0);
  const auto resample = [&](std::size_t i) {
    succeeded[i] = ResampleStretch(image, format, stretches[i], outputRate, outputs[i]);
  };
  std::vector<std::thread> helpers;
  // The stretches whose thread the system would not start (a process or memory limit) are
  // resampled here, after the first: the output is the same, only slower.
  std::size_t started = 1;
  for (; started < stretches.size(); ++started) {
    try {
      helpers.emplace_back(resample, started);
    } catch (const std::system_error&) {
      break;
    }
  }
  resample(0);
  for (std::size_t i = started; i < stretches.size(); ++i) resample(i);
  for (std::thread& helper : helpers) helper.join();
  if (std::find(succeeded.begin(), succeeded.end(), 0) != succeeded.end()) return false;

  output = std::move(outputs[0]);
  for (std::size_t i = 1; i < outputs.size(); ++i)
    output.insert(output.end(), outputs[i].begin(), outputs[i].end());
  return true;
}

}  // namespace vandrel
