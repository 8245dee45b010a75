// Arbitrary bytes as a WAV file image: the reader on windows of any length, the checking pass
// and the converter writing into a buffer exactly as long as the image.
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "sound/byte_order.h"
#include "sound/sound_converter.h"
#include "sound/wav_reader.h"

namespace {

using namespace vandrel;

constexpr std::uint64_t kRiffHeaderBytes = 8;
constexpr std::size_t kRiffSizeOffset = 4;

void ReadHeader(std::span<const std::uint8_t> window, std::uint64_t fileLength) {
  WavFormat format;
  if (ReadWavHeader(window, fileLength, format) != CONV_OK) return;
  if (CheckSoundFormat(window, fileLength, format) != CONV_OK) return;
  // "data" was found by a chunk header lying wholly inside the window.
  FUZZ_CHECK(format.dataOffset <= window.size());
  FUZZ_CHECK(format.dataSize > 0);
}

void Convert(std::span<const std::uint8_t> file) {
  // Its own allocation, so that AddressSanitizer sees a single byte written past it.
  std::vector<std::uint8_t> destination(file.size());
  constexpr std::size_t kUntouched = std::numeric_limits<std::size_t>::max();
  std::size_t length = kUntouched;
  const ConversionResult result = ConvertSound(file, destination, length);
  if (result != CONV_OK) {
    FUZZ_CHECK(length == kUntouched);
    return;
  }
  FUZZ_CHECK(CheckSoundFile(file) == CONV_OK);
  FUZZ_CHECK(length <= file.size());
  // The converted image is itself a complete file that the checking pass accepts.
  const auto output = std::span<const std::uint8_t>(destination).first(length);
  FUZZ_CHECK(length >= kRiffHeaderBytes);
  FUZZ_CHECK(LoadU32(output, kRiffSizeOffset) + kRiffHeaderBytes == length);
  if (length >= kCheckWindowBytes) FUZZ_CHECK(CheckSoundFile(output) == CONV_OK);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  ReadHeader(file, size);
  ReadHeader(file.first(std::min(size, kConvertWindowBytes)), size);
  CheckSoundFile(file);
  Convert(file);
  return 0;
}
