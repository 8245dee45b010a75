#include "sound/channel_mixer.h"

namespace vandrel {

std::size_t MixToMono(std::span<const float> interleaved, std::uint16_t channels,
                      std::span<float> mono) {
  const std::size_t frames = interleaved.size() / channels;
  const float share = 1.0f / static_cast<float>(channels);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const auto samples = interleaved.subspan(frame * channels, channels);
    float sum = 0;
    for (const float sample : samples) sum += sample;
    mono[frame] = sum * share;
  }
  return frames;
}

}  // namespace vandrel
