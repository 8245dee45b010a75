#include "sound/ima_encoder.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "sound/byte_order.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using wav_builder::Bytes;

class ImaEncoder : public testing::Test {
 protected:
  // An output of 44-byte blocks (81 samples) for `sampleCount` samples at 8000 Hz.
  void SetUp() override { ASSERT_EQ(Setup(44, 8000), kHandsetHeaderBytes); }

  std::size_t Setup(std::uint16_t blockAlign, std::uint32_t sampleCount) {
    output = wav_builder::HandsetOutput(blockAlign, sampleCount);
    return EncoderSetup(output, header);
  }

  Bytes Encode(const std::vector<std::int16_t>& samples) {
    Bytes out((samples.size() + 80) / 81 * 44);
    EXPECT_EQ(EncodeSamples(output, samples, out), samples.size());
    return out;
  }

  WavFormat output;
  std::array<std::uint8_t, kHandsetHeaderBytes> header{};
};

TEST_F(ImaEncoder, PutsTheEarlierCodeInTheHighHalf) {
  std::vector<std::int16_t> samples(81, 0);
  samples[1] = 7;  // up by one step (code 4), then back down at step 9 (sign, 2 and 1)
  const Bytes block = Encode(samples);
  EXPECT_EQ(block[4], 0x4B);
}

TEST_F(ImaEncoder, CarriesTheStepIndexIntoTheNextBlock) {
  std::vector<std::int16_t> ramp(81);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i * 300);
  const Bytes first = Encode(ramp);
  const std::int32_t reached = output.codec.stepIndex;
  ASSERT_GT(reached, 0);
  const Bytes second = Encode(ramp);
  EXPECT_EQ(first[2], 0);
  EXPECT_EQ(second[2], reached);
  EXPECT_EQ(LoadU16(second, 0), 0u);
  EXPECT_NE(Bytes(first.begin() + 4, first.end()), Bytes(second.begin() + 4, second.end()));
}

TEST_F(ImaEncoder, PadsTheLastBlockWithSilence) {
  const Bytes blocks = Encode(std::vector<std::int16_t>(82, 500));
  ASSERT_EQ(blocks.size(), 88u);
  EXPECT_EQ(LoadU16(blocks, 44), 500u);
  EXPECT_EQ(blocks[44 + 3], 1);
  EXPECT_NE(blocks[44 + 4] & 0x80, 0) << "the padding falls from 500 towards 0";
}

// Noise whose loudness jumps from block to block, so that the step index a block inherits is
// hard to guess.
std::vector<std::int16_t> JumpingLoudness(std::size_t blocks) {
  constexpr std::int32_t kLoudness[] = {20000, 40, 9000, 0, 32767, 300, 3000, 12};
  std::minstd_rand noise(7);
  std::vector<std::int16_t> samples;
  for (std::size_t block = 0; block < blocks; ++block) {
    const std::int32_t loudness = kLoudness[block % std::size(kLoudness)];
    for (int i = 0; i < 81; ++i) {
      const std::int32_t spread = static_cast<std::int32_t>(noise() % 65536) - 32768;
      samples.push_back(static_cast<std::int16_t>(spread * loudness / 32768));
    }
  }
  return samples;
}

// A run handed over in one call is encoded two blocks at a time; it must come out as the same
// blocks handed over one by one, whatever the number of blocks.
TEST_F(ImaEncoder, EncodesARunAsBlockAfterBlock) {
  const std::vector<std::int16_t> sound = JumpingLoudness(13);
  for (std::size_t blocks = 1; blocks <= 13; ++blocks) {
    ASSERT_EQ(Setup(44, 8000), kHandsetHeaderBytes);
    Bytes oneByOne;
    for (std::size_t block = 0; block < blocks; ++block) {
      const auto first = sound.begin() + static_cast<std::ptrdiff_t>(block * 81);
      const Bytes encoded = Encode(std::vector<std::int16_t>(first, first + 81));
      oneByOne.insert(oneByOne.end(), encoded.begin(), encoded.end());
    }
    const std::int32_t finalIndex = output.codec.stepIndex;

    ASSERT_EQ(Setup(44, 8000), kHandsetHeaderBytes);
    const auto end = sound.begin() + static_cast<std::ptrdiff_t>(blocks * 81);
    EXPECT_EQ(Encode(std::vector<std::int16_t>(sound.begin(), end)), oneByOne) << blocks;
    EXPECT_EQ(output.codec.stepIndex, finalIndex) << blocks;
  }
}

TEST_F(ImaEncoder, StopsWhereTheOutputEnds) {
  Bytes out(44 + 43);
  EXPECT_EQ(EncodeSamples(output, std::vector<std::int16_t>(162, 1), out), 81u);
}

TEST_F(ImaEncoder, RefusesABlockWithoutRoomForItsHeader) {
  EXPECT_EQ(Setup(3, 8000), 0u);
}

}  // namespace
}  // namespace vandrel
