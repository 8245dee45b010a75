#include "sound/ima_encoder.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "sound/adpcm_block.h"
#include "sound/allocation.h"
#include "sound/byte_order.h"
#include "sound/ima_quantiser.h"

namespace vandrel {

namespace {

constexpr std::uint16_t kHandsetBitsPerSample = 4;
constexpr std::uint16_t kHandsetExtensionBytes = 12;
constexpr std::uint32_t kBasicFmtBytes = 16;
constexpr std::uint32_t kHandsetFmtBytes = kBasicFmtBytes + 2 + kHandsetExtensionBytes;
constexpr std::uint32_t kFactBytes = 4;
constexpr std::uint32_t kChunkHeaderBytes = 8;
// Everything of the header that riffSize counts besides the data: "WAVE" and three chunks.
constexpr std::uint32_t kRiffOverhead = 4 + (kChunkHeaderBytes + kHandsetFmtBytes) +
                                        (kChunkHeaderBytes + kFactBytes) + kChunkHeaderBytes;
static_assert(kRiffOverhead + kChunkHeaderBytes == kHandsetHeaderBytes);
// The handset marks its blocks with 1 in the header byte that the standard layout leaves 0.
constexpr std::uint8_t kHandsetBlockMark = 0x01;

// Writes the header fields one after another.
class HeaderWriter {
 public:
  explicit HeaderWriter(std::span<std::uint8_t> header) : header_(header) {}
  void Id(std::string_view id) {
    std::copy(id.begin(), id.end(), header_.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ += id.size();
  }
  void U16(std::uint16_t value) {
    StoreU16(header_, at_, value);
    at_ += 2;
  }
  void U32(std::uint32_t value) {
    StoreU32(header_, at_, value);
    at_ += 4;
  }
  std::size_t Length() const { return at_; }

 private:
  std::span<std::uint8_t> header_;
  std::size_t at_ = 0;
};

std::size_t WriteHandsetHeader(const WavFormat& output, std::span<std::uint8_t> header) {
  HeaderWriter writer(header);
  writer.Id("RIFF");
  writer.U32(output.riffSize);
  writer.Id("WAVE");
  writer.Id("fmt ");
  writer.U32(output.fmtSize);
  writer.U16(output.formatTag);
  writer.U16(output.channels);
  writer.U32(output.sampleRate);
  writer.U32(output.avgBytesPerSec);
  writer.U16(output.blockAlign);
  writer.U16(output.bitsPerSample);
  writer.U16(static_cast<std::uint16_t>(output.extraSize));
  writer.U16(output.samplesPerBlock);
  writer.U16(0);
  writer.U32(0);
  writer.U32(0);
  writer.Id("fact");
  writer.U32(kFactBytes);
  writer.U32(output.sampleCount);
  writer.Id("data");
  writer.U32(output.dataSize);
  return writer.Length();
}

// Encodes one block of samples into `bytes` and carries the step index on.
void EncodeInto(std::span<const std::int16_t> samples, std::span<std::uint8_t> bytes,
                std::int32_t& stepIndex) {
  StoreU16(bytes, 0, static_cast<std::uint16_t>(samples[0]));
  bytes[2] = static_cast<std::uint8_t>(stepIndex);
  bytes[3] = kHandsetBlockMark;
  std::fill(bytes.begin() + kAdpcmBlockHeaderBytes, bytes.end(), std::uint8_t{0});

  // Each block restarts from its own first sample, stored exactly; only the index carries on.
  Quantiser quantiser{samples[0], stepIndex};
  const std::span<std::uint8_t> codes = bytes.subspan(kAdpcmBlockHeaderBytes);
  const std::size_t pairs = (samples.size() - 1) / 2;
  for (std::size_t pair = 0; pair < pairs; ++pair) {
    // The handset takes the earlier code of each pair from the high half of the byte.
    const std::uint8_t first = quantiser.Encode(samples[1 + 2 * pair]);
    const std::uint8_t second = quantiser.Encode(samples[2 + 2 * pair]);
    codes[pair] = static_cast<std::uint8_t>((first << 4) | second);
  }
  stepIndex = quantiser.index;
}

}  // namespace

std::size_t EncoderSetup(WavFormat& output, std::span<std::uint8_t> header) {
  const std::uint32_t blockLength = output.blockAlign;
  if (blockLength < kAdpcmBlockHeaderBytes || header.size() < kHandsetHeaderBytes) return 0;
  const std::uint64_t samplesPerBlock = AdpcmSamplesInBlock(blockLength);
  const std::uint64_t blocks = (output.sampleCount + samplesPerBlock - 1) / samplesPerBlock;
  const std::uint64_t dataSize = blocks * blockLength;
  if (dataSize + kRiffOverhead > std::numeric_limits<std::uint32_t>::max()) return 0;

  output.bitsPerSample = kHandsetBitsPerSample;
  output.extraSize = kHandsetExtensionBytes;
  output.samplesPerBlock = static_cast<std::uint16_t>(samplesPerBlock);
  output.fmtSize = kHandsetFmtBytes;
  output.dataSize = static_cast<std::uint32_t>(dataSize);
  output.riffSize = static_cast<std::uint32_t>(dataSize + kRiffOverhead);
  output.avgBytesPerSec = static_cast<std::uint32_t>(
      (std::uint64_t{blockLength} * output.sampleRate + samplesPerBlock / 2) / samplesPerBlock);
  const std::size_t length = WriteHandsetHeader(output, header);

  output.codec.stepIndex = 0;
  if (!TryAllocate(output.codec.blockBytes, blockLength) ||
      !TryAllocate(output.codec.blockSamples, samplesPerBlock)) {
    output.codec.blockBytes.clear();
    return 0;
  }
  return length;
}

std::uint32_t EncodeSamples(WavFormat& output, std::span<const std::int16_t> samples,
                            std::span<std::uint8_t> blocks) {
  CodecState& codec = output.codec;
  const std::size_t blockLength = codec.blockBytes.size();
  const std::size_t samplesPerBlock = codec.blockSamples.size();
  std::size_t consumed = 0;
  std::size_t blockStart = 0;
  if (blockLength == 0 || samplesPerBlock == 0) return 0;
  while (consumed < samples.size() && blockStart + blockLength <= blocks.size()) {
    const std::size_t take = std::min(samplesPerBlock, samples.size() - consumed);
    const auto out = blocks.subspan(blockStart, blockLength);
    if (take == samplesPerBlock) {
      // A whole block goes straight from the samples to the output.
      EncodeInto(samples.subspan(consumed, take), out, codec.stepIndex);
    } else {
      const auto from = samples.begin() + static_cast<std::ptrdiff_t>(consumed);
      const auto tail = std::copy_n(from, take, codec.blockSamples.begin());
      std::fill(tail, codec.blockSamples.end(), std::int16_t{0});
      EncodeBlock(output);
      std::copy(codec.blockBytes.begin(), codec.blockBytes.end(), out.begin());
    }
    blockStart += blockLength;
    consumed += take;
  }
  return static_cast<std::uint32_t>(consumed);
}

void EncodeBlock(WavFormat& output) {
  EncodeInto(output.codec.blockSamples, output.codec.blockBytes, output.codec.stepIndex);
}

}  // namespace vandrel
