#include "sound/ima_encoder.h"

#include <algorithm>
#include <limits>

#include "sound/adpcm_block.h"
#include "sound/allocation.h"
#include "sound/byte_order.h"
#include "sound/header_writer.h"
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

// The earlier code of each pair goes in the high half of the byte, where the handset takes it.
std::uint8_t PackCodes(std::uint8_t earlier, std::uint8_t later) {
  return static_cast<std::uint8_t>((earlier << 4) | later);
}

// One block being encoded: where its samples come from and its bytes go.
struct BlockJob {
  std::span<const std::int16_t> samples;
  std::span<std::uint8_t> bytes;

  // Writes the header and zeroes the code bytes that no pair of samples fills. Each block
  // restarts from its own first sample, stored exactly; only the step index carries on.
  Quantiser Start(std::int32_t stepIndex) const {
    StoreU16(bytes, 0, static_cast<std::uint16_t>(samples[0]));
    bytes[kAdpcmStepIndexByte] = static_cast<std::uint8_t>(stepIndex);
    bytes[3] = kHandsetBlockMark;
    std::fill(Codes().begin() + static_cast<std::ptrdiff_t>(Pairs()), Codes().end(),
              std::uint8_t{0});
    return Quantiser{samples[0], stepIndex};
  }
  std::size_t Pairs() const { return (samples.size() - 1) / 2; }
  std::span<std::uint8_t> Codes() const { return bytes.subspan(kAdpcmBlockHeaderBytes); }
  std::int16_t Earlier(std::size_t pair) const { return samples[1 + 2 * pair]; }
  std::int16_t Later(std::size_t pair) const { return samples[2 + 2 * pair]; }
};

// Encodes one block and carries the step index on.
void EncodeInto(const BlockJob& block, std::int32_t& stepIndex) {
  Quantiser quantiser = block.Start(stepIndex);
  const std::span<std::uint8_t> codes = block.Codes();
  for (std::size_t pair = 0; pair < block.Pairs(); ++pair) {
    const std::uint8_t earlier = quantiser.Encode(block.Earlier(pair));
    codes[pair] = PackCodes(earlier, quantiser.Encode(block.Later(pair)));
  }
  stepIndex = quantiser.index;
}

// Encodes two blocks of one length side by side, each from its own step index. Their chains of
// dependent steps are independent, so the processor runs them at once.
void EncodeSideBySide(const BlockJob& a, std::int32_t& indexA, const BlockJob& b,
                      std::int32_t& indexB) {
  Quantiser quantiserA = a.Start(indexA);
  Quantiser quantiserB = b.Start(indexB);
  const std::span<std::uint8_t> codesA = a.Codes();
  const std::span<std::uint8_t> codesB = b.Codes();
  for (std::size_t pair = 0; pair < a.Pairs(); ++pair) {
    const std::uint8_t earlierA = quantiserA.Encode(a.Earlier(pair));
    const std::uint8_t earlierB = quantiserB.Encode(b.Earlier(pair));
    const std::uint8_t laterA = quantiserA.Encode(a.Later(pair));
    const std::uint8_t laterB = quantiserB.Encode(b.Later(pair));
    codesA[pair] = PackCodes(earlierA, laterA);
    codesB[pair] = PackCodes(earlierB, laterB);
  }
  indexA = quantiserA.index;
  indexB = quantiserB.index;
}

// A run of whole blocks, cut into blocks of one length.
class BlockRun {
 public:
  BlockRun(std::span<const std::int16_t> samples, std::span<std::uint8_t> bytes,
           std::size_t samplesPerBlock, std::size_t blockLength)
      : samples_(samples),
        bytes_(bytes),
        samplesPerBlock_(samplesPerBlock),
        blockLength_(blockLength) {}

  std::size_t Count() const { return samples_.size() / samplesPerBlock_; }
  BlockJob operator[](std::size_t block) const {
    return {samples_.subspan(block * samplesPerBlock_, samplesPerBlock_),
            bytes_.subspan(block * blockLength_, blockLength_)};
  }

 private:
  std::span<const std::int16_t> samples_;
  std::span<std::uint8_t> bytes_;
  std::size_t samplesPerBlock_;
  std::size_t blockLength_;
};

// Encodes a run of whole blocks two at a time, one from each half, and returns the step index
// the run ends with. The second half cannot know the index it inherits before the first half is
// done, so it starts from the index the run starts with. Afterwards its blocks are encoded again
// in turn from the index that is really carried in, until that index is the one a block's
// header says it was encoded from: from that block on nothing would change. In a sound the
// index agrees again after a block or two.
std::int32_t EncodeWholeBlocks(const BlockRun& run, std::int32_t stepIndex) {
  const std::size_t count = run.Count();
  const std::size_t half = count / 2;
  std::int32_t firstIndex = stepIndex;
  std::int32_t secondIndex = stepIndex;
  for (std::size_t block = 0; block < half; ++block)
    EncodeSideBySide(run[block], firstIndex, run[half + block], secondIndex);
  if (count % 2 != 0) EncodeInto(run[count - 1], secondIndex);

  std::int32_t carried = firstIndex;
  std::size_t block = half;
  for (; block < count && carried != run[block].bytes[kAdpcmStepIndexByte]; ++block)
    EncodeInto(run[block], carried);
  return block == count ? carried : secondIndex;
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
  if (blockLength == 0 || samplesPerBlock == 0) return 0;
  const std::size_t room = blocks.size() / blockLength;
  const std::size_t whole = std::min(samples.size() / samplesPerBlock, room);
  const std::size_t consumed = whole * samplesPerBlock;
  const BlockRun run(samples.first(consumed), blocks.first(whole * blockLength), samplesPerBlock,
                     blockLength);
  codec.stepIndex = EncodeWholeBlocks(run, codec.stepIndex);
  if (consumed == samples.size() || whole == room) return static_cast<std::uint32_t>(consumed);

  // The samples left make a last, short block, padded with silence.
  const auto tail = std::copy(samples.begin() + static_cast<std::ptrdiff_t>(consumed),
                              samples.end(), codec.blockSamples.begin());
  std::fill(tail, codec.blockSamples.end(), std::int16_t{0});
  EncodeBlock(output);
  std::copy(codec.blockBytes.begin(), codec.blockBytes.end(),
            blocks.begin() + static_cast<std::ptrdiff_t>(whole * blockLength));
  return static_cast<std::uint32_t>(samples.size());
}

void EncodeBlock(WavFormat& output) {
  EncodeInto({output.codec.blockSamples, output.codec.blockBytes}, output.codec.stepIndex);
}

}  // namespace vandrel
