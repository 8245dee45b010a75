#include "sound/pcm_wav_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sound/byte_order.h"
#include "sound/wav_format.h"

namespace vandrel {

namespace {

constexpr std::size_t kHeaderBytes = 44;
constexpr std::uint32_t kRiffHeaderBytes = 8;
constexpr std::uint32_t kFmtBytes = 16;
constexpr std::uint16_t kBytesPerSample = 2;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr float kFullScale = 32768.0f;

void PutId(std::span<std::uint8_t> bytes, std::size_t at, const char (&id)[5]) {
  std::copy_n(id, 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

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
  const std::span bytes(image);
  PutId(bytes, 0, "RIFF");
  StoreU32(bytes, 4, static_cast<std::uint32_t>(image.size() - kRiffHeaderBytes));
  PutId(bytes, 8, "WAVE");
  PutId(bytes, 12, "fmt ");
  StoreU32(bytes, 16, kFmtBytes);
  StoreU16(bytes, 20, FORMAT_PCM);
  StoreU16(bytes, 22, 1);
  StoreU32(bytes, 24, sampleRate);
  StoreU32(bytes, 28, sampleRate * kBytesPerSample);
  StoreU16(bytes, 32, kBytesPerSample);
  StoreU16(bytes, 34, kBitsPerSample);
  PutId(bytes, 36, "data");
  StoreU32(bytes, 40, static_cast<std::uint32_t>(dataBytes));
  for (std::size_t i = 0; i < samples.size(); ++i)
    StoreU16(bytes, kHeaderBytes + i * kBytesPerSample,
             static_cast<std::uint16_t>(ToPcm16(samples[i] * gain)));
  return image;
}

}  // namespace vandrel
