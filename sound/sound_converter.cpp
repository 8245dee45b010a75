#include "sound/sound_converter.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "sound/adpcm_block.h"
#include "sound/ima_encoder.h"
#include "sound/sample_decoders.h"
#include "sound/wav_reader.h"

namespace vandrel {

namespace {

// Fixed working memory, whatever the length of the sound. The input is read in slices straight
// from the image; a linear slice is long, so that the encoder's two halves of a run (see
// ima_encoder.cpp) are long too.
constexpr std::size_t kMaxSliceBytes = 65536;
constexpr std::size_t kSampleBufferSamples = 32768;
// IMA ADPCM slices stay strictly below 4 KB and hold at most 4096 samples, so a block of 4096
// bytes or more, or of more than 4096 samples, is refused.
constexpr std::size_t kMaxImaSliceBytes = 4095;
constexpr std::size_t kMaxImaSliceSamples = 4096;
constexpr std::size_t kStagingBytes = 32768;
constexpr std::size_t kCopyPieceBytes = 4000;

// Long blocks spend less on headers; short ones waste less on the padding of the last block.
// The long ones are chosen when at least 200 of the last one's 321 samples would be sound.
constexpr std::uint16_t kShortBlockBytes = 44;
constexpr std::uint16_t kLongBlockBytes = 164;
constexpr std::uint32_t kLongBlockSamples = 321;
constexpr std::uint32_t kLongBlockFill = 200;

struct WorkingBuffers {
  std::array<std::int16_t, kSampleBufferSamples> samples;
  std::array<std::uint8_t, kStagingBytes> staging;
};

// A slice of input is a whole number of these: the input bytes of one output block (linear
// input), or one input block (IMA ADPCM), so that every slice but the last ends on a block.
struct SliceUnit {
  std::uint64_t bytes;
  std::uint64_t samples;
  std::uint64_t maxSliceBytes;
  std::uint64_t maxSliceSamples;
};

bool IsImaAdpcm(const WavFormat& format) {
  return format.formatTag == FORMAT_IMA_ADPCM;
}

std::uint16_t OutputBlockLength(const WavFormat& input) {
  // An IMA ADPCM input keeps its block size: the header, then the codes at two a byte.
  if (IsImaAdpcm(input))
    return static_cast<std::uint16_t>((input.samplesPerBlock - 1u) / 2u + kAdpcmBlockHeaderBytes);
  return input.sampleCount % kLongBlockSamples < kLongBlockFill ? kShortBlockBytes
                                                                : kLongBlockBytes;
}

SliceUnit SliceUnitOf(const WavFormat& input, std::uint64_t outputSamplesPerBlock) {
  if (IsImaAdpcm(input))
    return {input.blockAlign, input.samplesPerBlock, kMaxImaSliceBytes, kMaxImaSliceSamples};
  return {outputSamplesPerBlock * input.bytesPerSample, outputSamplesPerBlock, kMaxSliceBytes,
          kSampleBufferSamples};
}

// The input bytes of the largest slice whose input, samples and encoded blocks all fit the
// working buffers; 0 when not even one unit fits.
std::uint64_t SliceBytes(const SliceUnit& unit, std::uint32_t outputBlockLength) {
  const std::uint64_t outputSamplesPerBlock = AdpcmSamplesInBlock(outputBlockLength);
  const auto fits = [&](std::uint64_t units) {
    const std::uint64_t samples = units * unit.samples;
    const std::uint64_t blocks = (samples + outputSamplesPerBlock - 1) / outputSamplesPerBlock;
    return units * unit.bytes <= unit.maxSliceBytes && samples <= unit.maxSliceSamples &&
           blocks * outputBlockLength < kStagingBytes;
  };
  std::uint64_t units = 0;
  while (fits(units + 1)) ++units;
  return units * unit.bytes;
}

// An image already in the handset format goes through unchanged.
ConversionResult CopySource(const SoundSource& source, SoundSink& sink) {
  for (std::uint64_t at = 0; at < source.Length();) {
    const std::size_t wanted = std::min<std::uint64_t>(kCopyPieceBytes, source.Length() - at);
    const auto piece = source.ReadAt(at, wanted);
    if (piece.size() != wanted) return CONV_BAD_FORMAT;
    if (sink.Append(piece) != piece.size()) return CONV_OUTPUT_FULL;
    at += piece.size();
  }
  return CONV_OK;
}

ConversionResult EncodeData(const SoundSource& source, SoundSink& sink, WavFormat& input,
                            WavFormat& output, std::uint64_t sliceBytes, WorkingBuffers& buffers) {
  std::uint64_t readPosition = input.dataOffset;
  std::uint64_t bytesLeft = input.dataSize;
  std::uint32_t samplesLeft = input.sampleCount;
  const std::uint32_t blockLength = output.blockAlign;
  const std::uint32_t samplesPerBlock = output.samplesPerBlock;
  while (samplesLeft > 0) {
    const std::size_t sliceSize = std::min(sliceBytes, bytesLeft);
    const auto slice = source.ReadAt(readPosition, sliceSize);
    if (slice.size() != sliceSize) return CONV_BAD_FORMAT;
    readPosition += slice.size();
    bytesLeft -= slice.size();
    const std::uint64_t sampleCount =
        IsImaAdpcm(input) ? ImaSamplesInBytes(slice.size(), input.blockAlign, input.samplesPerBlock)
                          : slice.size() / input.bytesPerSample;
    const auto samples = std::span(buffers.samples)
                             .first(std::min<std::uint64_t>(sampleCount, kSampleBufferSamples));
    const std::uint32_t decoded = DecodeSamples(input, slice, samples);
    // Data that yields no sample while some are still due must not keep the loop turning.
    if (decoded == 0) return CONV_BAD_FORMAT;
    samplesLeft -= std::min(decoded, samplesLeft);
    const std::uint32_t encoded =
        EncodeSamples(output, samples.first(decoded), std::span(buffers.staging));
    const std::size_t blocks = (encoded + samplesPerBlock - 1) / samplesPerBlock;
    const auto encodedBytes = std::span(buffers.staging).first(blocks * blockLength);
    if (sink.Append(encodedBytes) != encodedBytes.size()) return CONV_OUTPUT_FULL;
  }
  return CONV_OK;
}

}  // namespace

std::span<const std::uint8_t> SoundSource::ReadAt(std::uint64_t offset, std::size_t count) const {
  if (offset > bytes_.size() || bytes_.size() - offset < count) return {};
  return bytes_.subspan(static_cast<std::size_t>(offset), count);
}

std::size_t SoundSink::Append(std::span<const std::uint8_t> bytes) {
  if (buffer_.size() - length_ < bytes.size()) return 0;
  std::copy(bytes.begin(), bytes.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(length_));
  length_ += bytes.size();
  return bytes.size();
}

ConversionResult ConvertPass(const SoundSource& source, SoundSink& sink) {
  const std::unique_ptr<WorkingBuffers> buffers(new (std::nothrow) WorkingBuffers{});
  if (!buffers) return CONV_NO_MEMORY;
  const auto window = source.ReadAt(0, kConvertWindowBytes);
  if (window.size() != kConvertWindowBytes) return CONV_READ_ERROR;

  WavFormat input;
  if (ReadWavHeader(window, source.Length(), input) != CONV_OK ||
      CheckSoundFormat(window, source.Length(), input) != CONV_OK || !DecoderSetup(input))
    return CONV_BAD_FORMAT;
  if (input.formatTag == FORMAT_HANDSET_ADPCM) return CopySource(source, sink);

  WavFormat output;
  output.formatTag = FORMAT_HANDSET_ADPCM;
  output.channels = 1;
  output.sampleRate = input.sampleRate;
  output.sampleCount = input.sampleCount;
  output.blockAlign = OutputBlockLength(input);
  const std::uint64_t sliceBytes =
      SliceBytes(SliceUnitOf(input, AdpcmSamplesInBlock(output.blockAlign)), output.blockAlign);
  if (sliceBytes == 0) return CONV_BAD_FORMAT;

  const std::size_t headerLength = EncoderSetup(output, buffers->staging);
  if (headerLength == 0) return CONV_BAD_FORMAT;
  if (sink.Append(std::span(buffers->staging).first(headerLength)) != headerLength)
    return CONV_BAD_FORMAT;
  return EncodeData(source, sink, input, output, sliceBytes, *buffers);
}

ConversionResult ConvertSound(std::span<const std::uint8_t> source,
                              std::span<std::uint8_t> destination, std::size_t& length) {
  // The converted image is written straight into the destination: no second copy of the sound
  // is held, and a caller that meets a failure discards the destination anyway.
  SoundSink sink(destination.first(std::min(source.size(), destination.size())));
  if (const ConversionResult checked = CheckSoundFile(source); checked != CONV_OK) return checked;
  const ConversionResult result = ConvertPass(SoundSource(source), sink);
  if (result == CONV_OK) length = sink.Length();
  return result;
}

}  // namespace vandrel
