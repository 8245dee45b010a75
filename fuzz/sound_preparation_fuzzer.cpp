// Arbitrary bytes as a WAV image for the sound preparation: whatever it returns is a 16-bit mono
// 8000 Hz PCM image whose header tells its true length, and which the converter's checking
// pass accepts once it is long enough. The first byte picks the trim and the normalisation.
#include <cstdint>
#include <span>

#include "fuzz/fuzz_check.h"
#include "sound/byte_order.h"
#include "sound/sound_preparation.h"
#include "sound/wav_reader.h"

namespace {

using namespace vandrel;

constexpr std::uint64_t kRiffHeaderBytes = 8;
constexpr std::size_t kRiffSizeOffset = 4;
constexpr std::size_t kChannelsOffset = 22;
constexpr std::size_t kRateOffset = 24;
constexpr std::size_t kHeaderBytes = 44;
constexpr std::uint8_t kNormaliseBit = 0x80;
constexpr std::uint8_t kTrimBits = 0x7F;
constexpr double kTrimStepSeconds = 0.01;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const SoundPreparation options{.maxSeconds = (data[0] & kTrimBits) * kTrimStepSeconds,
                                 .normalise = (data[0] & kNormaliseBit) != 0};
  const auto prepared = PrepareSound(std::span(data + 1, size - 1), options);
  if (!prepared) return 0;
  const std::span<const std::uint8_t> image(*prepared);
  FUZZ_CHECK(image.size() >= kHeaderBytes);
  FUZZ_CHECK(LoadU32(image, kRiffSizeOffset) + kRiffHeaderBytes == image.size());
  FUZZ_CHECK(LoadU16(image, kChannelsOffset) == 1);
  FUZZ_CHECK(LoadU32(image, kRateOffset) == 8000);
  if (image.size() >= kCheckWindowBytes) FUZZ_CHECK(CheckSoundFile(image) == CONV_OK);
  return 0;
}
