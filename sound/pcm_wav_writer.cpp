#include "sound/pcm_wav_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sound/byte_order.h"
#include "sound/header_writer.h"
#include "sound/wav_format.h"

namespace vandrel {

namespace {

constexpr std::size_t kHeaderBytes = 44;
constexpr std::uint32_t kRiffHeaderBytes = 8;
constexpr std::uint32_t kFmtBytes = 16;
constexpr std::uint16_t kBytesPerSample = 2;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint16_t kMono = 1;
constexpr float kFullScale = 32768.0f;

std::int16_t ToPcm16(float sample) {
  const float scaled = std::nearbyint(sample * kFullScale);
  return static_cast<std::int16_t>(std::clamp(scaled, -kFullScale, kFullScale - 1));
}

}  // namespace

std::vector<std::uint8_t> Pcm16MonoWav(std::span<const float> samples, float gain,
                                       std::uint32_t sampleRate) {
  const std::uint64_t dataBytes = std::uint64_t{samples.size()} * kBytesPerSample;
  if (dataBytes > std::numeric_limits<std::uint32_t>::max() - kHeaderBytes) return {};
  std::vector<std::uint8_t> image(kHeaderBytes + dataBytes);
  HeaderWriter writer(image);
  writer.Id("RIFF");
  writer.U32(static_cast<std::uint32_t>(image.size() - kRiffHeaderBytes));
  writer.Id("WAVE");
  writer.Id("fmt ");
  writer.U32(kFmtBytes);
  writer.U16(FORMAT_PCM);
  writer.U16(kMono);
  writer.U32(sampleRate);
  writer.U32(sampleRate * kBytesPerSample);
  writer.U16(kBytesPerSample);
  writer.U16(kBitsPerSample);
  writer.Id("data");
  writer.U32(static_cast<std::uint32_t>(dataBytes));
  for (std::size_t i = 0; i < samples.size(); ++i)
    StoreU16(image, kHeaderBytes + i * kBytesPerSample,
             static_cast<std::uint16_t>(ToPcm16(samples[i] * gain)));
  return image;
}

}  // namespace vandrel
