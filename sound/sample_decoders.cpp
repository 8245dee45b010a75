#include "sound/sample_decoders.h"

#include <algorithm>
#include <limits>

#include "sound/adpcm_block.h"
#include "sound/allocation.h"
#include "sound/byte_order.h"
#include "sound/g711_tables.h"
#include "sound/ima_tables.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kCodesPerByte = 2;
constexpr std::uint8_t kPcm8Offset = 0x80;

std::int16_t ExpandPcm8(std::uint8_t byte) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((byte ^ kPcm8Offset) << 8));
}

// The largest number of samples a block of `blockLength` bytes can carry: its header sample
// and two codes a byte.
std::uint32_t ImaCapacity(std::uint32_t blockLength) {
  return (blockLength - kAdpcmBlockHeaderBytes) * kCodesPerByte + 1;
}

// Decodes one block of a standard IMA ADPCM stream into the decoder's sample buffer. The block
// may be cut short at the end of the data: only the codes present are decoded, and the samples
// beyond them, which the sample count never lets out, repeat the last one.
void DecodeImaBlock(CodecState& codec, std::span<const std::uint8_t> block) {
  auto& out = codec.blockSamples;
  const std::int32_t headerIndex = block[kAdpcmStepIndexByte];
  // A corrupt step index leaves the previous block's samples (silence at first) in place.
  if (headerIndex > kMaxStepIndex) return;
  std::int32_t predictor = static_cast<std::int16_t>(LoadU16(block, 0));
  std::int32_t index = headerIndex;
  out[0] = static_cast<std::int16_t>(predictor);
  const std::size_t codesPresent = (block.size() - kAdpcmBlockHeaderBytes) * kCodesPerByte;
  const std::size_t decoded = std::min(out.size() - 1, codesPresent);
  for (std::size_t i = 0; i < decoded; ++i) {
    const std::uint8_t byte = block[kAdpcmBlockHeaderBytes + i / kCodesPerByte];
    // The standard layout carries the earlier code in the low half of each byte.
    const std::uint8_t code = (i % kCodesPerByte == 0) ? (byte & 0x0F) : (byte >> 4);
    const std::uint8_t magnitude = code & kCodeMagnitude;
    const std::int32_t difference = ((2 * magnitude + 1) * kStepTable[index]) >> 3;
    predictor = (code & kCodeSign) != 0 ? std::max(predictor - difference, -32768)
                                        : std::min(predictor + difference, 32767);
    index = kNextStepIndex[index][magnitude];
    out[i + 1] = static_cast<std::int16_t>(predictor);
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(decoded + 1), out.end(),
            static_cast<std::int16_t>(predictor));
}

std::uint32_t DecodeIma(WavFormat& input, std::span<const std::uint8_t> slice,
                        std::span<std::int16_t> samples) {
  CodecState& codec = input.codec;
  const std::uint32_t samplesPerBlock = input.samplesPerBlock;
  std::size_t blockStart = 0;
  std::uint32_t delivered = 0;
  while (delivered < samples.size()) {
    if (codec.pending == 0) {
      if (blockStart + kAdpcmBlockHeaderBytes > slice.size()) break;
      const std::size_t length = std::min<std::size_t>(input.blockAlign, slice.size() - blockStart);
      DecodeImaBlock(codec, slice.subspan(blockStart, length));
      blockStart += input.blockAlign;
      codec.cursor = 0;
      codec.pending = samplesPerBlock;
    }
    const std::uint32_t take = std::min<std::uint32_t>(
        codec.pending, static_cast<std::uint32_t>(samples.size()) - delivered);
    std::copy_n(codec.blockSamples.begin() + codec.cursor, take, samples.begin() + delivered);
    codec.cursor += take;
    codec.pending -= take;
    delivered += take;
  }
  return delivered;
}

// The width is a constant and the index as wide as a pointer, so that the compiler can turn
// the loop into whole-register moves.
template <std::uint32_t kWidth, typename Expand>
std::uint32_t DecodeBytes(std::span<const std::uint8_t> slice, std::span<std::int16_t> samples,
                          Expand expand) {
  const std::size_t count = std::min(samples.size(), slice.size() / kWidth);
  for (std::size_t i = 0; i < count; ++i) samples[i] = expand(slice, i * kWidth);
  return static_cast<std::uint32_t>(count);
}

std::uint32_t DecodeLinear(const WavFormat& input, std::span<const std::uint8_t> slice,
                           std::span<std::int16_t> samples) {
  switch (input.formatTag) {
    case FORMAT_ALAW:
      return DecodeBytes<1>(slice, samples,
                            [](auto bytes, std::size_t at) { return kALawToLinear[bytes[at]]; });
    case FORMAT_MULAW:
      return DecodeBytes<1>(slice, samples,
                            [](auto bytes, std::size_t at) { return kMuLawToLinear[bytes[at]]; });
    default:
      if (input.bytesPerSample == 1)
        return DecodeBytes<1>(slice, samples,
                              [](auto bytes, std::size_t at) { return ExpandPcm8(bytes[at]); });
      return DecodeBytes<2>(slice, samples, [](auto bytes, std::size_t at) {
        return static_cast<std::int16_t>(LoadU16(bytes, at));
      });
  }
}

bool SetUpImaDecoder(WavFormat& input) {
  const std::uint32_t blockLength = input.blockAlign;
  // A block must hold its header and no more samples than it has codes for.
  if (blockLength < kAdpcmBlockHeaderBytes || input.samplesPerBlock == 0 ||
      input.samplesPerBlock > ImaCapacity(blockLength))
    return false;
  const std::uint64_t count = ImaSamplesInBytes(input.dataSize, blockLength, input.samplesPerBlock);
  if (count > std::numeric_limits<std::uint32_t>::max()) return false;
  if (!TryAllocate(input.codec.blockSamples, input.samplesPerBlock)) return false;
  input.sampleCount = static_cast<std::uint32_t>(count);
  input.codec.cursor = 0;
  input.codec.pending = 0;
  return true;
}

}  // namespace

std::uint64_t ImaSamplesInBytes(std::uint64_t bytes, std::uint32_t blockLength,
                                std::uint32_t samplesPerBlock) {
  if (blockLength == 0) return 0;
  const std::uint64_t remainder = bytes % blockLength;
  std::uint64_t samples = bytes / blockLength * samplesPerBlock;
  if (remainder >= kAdpcmBlockHeaderBytes)
    samples += std::min<std::uint64_t>(samplesPerBlock, AdpcmSamplesInBlock(remainder));
  return samples;
}

bool DecoderSetup(WavFormat& input) {
  switch (input.formatTag) {
    case FORMAT_PCM:
    case FORMAT_ALAW:
    case FORMAT_MULAW:
      if (input.bytesPerSample == 0) return false;
      input.sampleCount = input.dataSize / input.bytesPerSample;
      break;
    case FORMAT_IMA_ADPCM:
      if (!SetUpImaDecoder(input)) return false;
      break;
    case FORMAT_HANDSET_ADPCM:
      return true;
    default:
      return false;
  }
  input.codec.samplesLeft = input.sampleCount;
  return true;
}

std::uint32_t DecodeSamples(WavFormat& input, std::span<const std::uint8_t> slice,
                            std::span<std::int16_t> samples) {
  const auto wanted = std::min<std::size_t>(samples.size(), input.codec.samplesLeft);
  const auto out = samples.first(wanted);
  const std::uint32_t delivered = input.formatTag == FORMAT_IMA_ADPCM
                                      ? DecodeIma(input, slice, out)
                                      : DecodeLinear(input, slice, out);
  input.codec.samplesLeft -= delivered;
  return delivered;
}

}  // namespace vandrel
