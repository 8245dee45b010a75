#include "sound/sample_decoders.h"

#include <gtest/gtest.h>

#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using wav_builder::Bytes;

WavFormat Linear(std::uint16_t formatTag, std::uint32_t bytesPerSample, std::uint32_t dataSize) {
  return {
      .formatTag = formatTag, .bytesPerSample = bytesPerSample, .dataSize = dataSize, .codec = {}};
}

std::vector<std::int16_t> Decode(WavFormat& format, const Bytes& slice, std::size_t count) {
  std::vector<std::int16_t> samples(count);
  samples.resize(DecodeSamples(format, slice, samples));
  return samples;
}

struct LinearCase {
  const char* name;
  std::uint16_t formatTag;
  std::uint32_t bytesPerSample;
  Bytes input;
  std::vector<std::int16_t> expected;
};

TEST(LinearDecoders, ExpandKnownValues) {
  for (const LinearCase& c :
       {LinearCase{"Pcm8", FORMAT_PCM, 1, {0x80, 0x00, 0xFF, 0x81}, {0, -32768, 32512, 256}},
        LinearCase{
            "Pcm16", FORMAT_PCM, 2, {0x34, 0x12, 0x00, 0x80, 0xFF, 0xFF}, {0x1234, -32768, -1}},
        LinearCase{"ALaw", FORMAT_ALAW, 1, {0xD5, 0x55, 0xAA, 0x2A}, {8, -8, 32256, -32256}},
        LinearCase{"MuLaw", FORMAT_MULAW, 1, {0xFF, 0x7F, 0x00, 0x80}, {0, 0, -32124, 32124}}}) {
    WavFormat format =
        Linear(c.formatTag, c.bytesPerSample, static_cast<std::uint32_t>(c.input.size()));
    ASSERT_TRUE(DecoderSetup(format)) << c.name;
    EXPECT_EQ(format.sampleCount, c.expected.size()) << c.name;
    EXPECT_EQ(Decode(format, c.input, 64), c.expected) << c.name;
  }
}

TEST(LinearDecoders, StopAtTheSampleCountAndAtWholeSamples) {
  WavFormat format = Linear(FORMAT_PCM, 2, 5);  // two whole samples and a stray byte
  ASSERT_TRUE(DecoderSetup(format));
  EXPECT_EQ(format.sampleCount, 2u);
  EXPECT_EQ(Decode(format, {1, 0, 2, 0, 3, 0}, 8), (std::vector<std::int16_t>{1, 2}));
  EXPECT_TRUE(Decode(format, {4, 0}, 8).empty());
}

// One standard IMA ADPCM block of 9 samples: header sample 100, index 0, then four code bytes.
const Bytes kImaBlock = {100, 0, 0, 0, 0x21, 0x00, 0x88, 0x77};

WavFormat Ima(std::uint16_t blockAlign, std::uint16_t samplesPerBlock, std::uint32_t dataSize,
              std::uint16_t formatTag = FORMAT_IMA_ADPCM) {
  return {.formatTag = formatTag,
          .blockAlign = blockAlign,
          .samplesPerBlock = samplesPerBlock,
          .dataSize = dataSize,
          .codec = {}};
}

// Standard IMA ADPCM blocks of 8 bytes (9 samples each), decoded whole.
std::vector<std::int16_t> DecodeIma(const Bytes& blocks) {
  WavFormat format = Ima(8, 9, static_cast<std::uint32_t>(blocks.size()));
  EXPECT_TRUE(DecoderSetup(format));
  return Decode(format, blocks, 64);
}

TEST(ImaDecoder, TakesTheLowHalfOfEachByteFirst) {
  // codes 1, 2, 0, 0, 8, 8, 7, 7 at index 0 (step 7), then the index climbs by 8 per 7
  EXPECT_EQ(DecodeIma(kImaBlock),
            (std::vector<std::int16_t>{100, 102, 106, 106, 106, 106, 106, 119, 149}));
}

TEST(ImaDecoder, ACorruptStepIndexLeavesThePreviousBlock) {
  Bytes twoBlocks = kImaBlock;
  twoBlocks.insert(twoBlocks.end(), {0x10, 0x27, 89, 0, 0x77, 0x77, 0x77, 0x77});
  const auto samples = DecodeIma(twoBlocks);
  ASSERT_EQ(samples.size(), 18u);
  EXPECT_EQ(std::vector(samples.begin() + 9, samples.end()),
            std::vector(samples.begin(), samples.begin() + 9));
}

TEST(ImaDecoder, SaturatesAtTheSampleRange) {
  EXPECT_EQ(DecodeIma({0xF0, 0x7F, 88, 0, 0x77, 0x77, 0x77, 0x77}).back(), 32767);
}

TEST(ImaDecoder, RefusesBlockGeometriesItCannotDecode) {
  const auto accepts = [](WavFormat format) { return DecoderSetup(format); };
  EXPECT_FALSE(accepts(Ima(256, 0, 512))) << "no samples";
  EXPECT_FALSE(accepts(Ima(3, 1, 512))) << "no room for the header";
  EXPECT_FALSE(accepts(Ima(8, 10, 512))) << "more samples than the block holds";
  EXPECT_TRUE(accepts(Ima(256, 505, 512, FORMAT_HANDSET_ADPCM)));
  EXPECT_FALSE(accepts(Ima(256, 500, 512, 2))) << "another ADPCM";
}

TEST(ImaSamplesInBytes, CountsWholeAndPartialBlocks) {
  EXPECT_EQ(ImaSamplesInBytes(512, 256, 505), 1010u);
  EXPECT_EQ(ImaSamplesInBytes(515, 256, 505), 1010u);
  EXPECT_EQ(ImaSamplesInBytes(516, 256, 505), 1011u);
  EXPECT_EQ(ImaSamplesInBytes(520, 256, 505), 1019u);
  // a partial block counts the samples of its whole 4-byte words
  EXPECT_EQ(ImaSamplesInBytes(256 + 255, 256, 505), 505u + 497u);
  EXPECT_EQ(ImaSamplesInBytes(100, 0, 505), 0u);
}

}  // namespace
}  // namespace vandrel
