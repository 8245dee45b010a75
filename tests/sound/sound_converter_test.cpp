#include "sound/sound_converter.h"

#include <gtest/gtest.h>

#include "sound/byte_order.h"
#include "sound/ima_encoder.h"
#include "sound/wav_reader.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;

// `value` in `bytes` little-endian bytes.
std::string Le(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text.push_back(static_cast<char>(value >> (8 * i)));
  return text;
}

// The handset encoding of `samples` in one piece, header included.
Bytes EncodeWhole(const std::vector<std::int16_t>& samples, std::uint16_t blockAlign) {
  WavFormat output = HandsetOutput(blockAlign, static_cast<std::uint32_t>(samples.size()));
  Bytes image(kHandsetHeaderBytes);
  EXPECT_EQ(EncoderSetup(output, image), kHandsetHeaderBytes);
  image.resize(kHandsetHeaderBytes + output.dataSize);
  EncodeSamples(output, samples, std::span(image).subspan(kHandsetHeaderBytes));
  return image;
}

struct WorkedExample {
  Bytes source;
  std::vector<std::int16_t> samples;
  std::uint16_t blockAlign;
  std::uint32_t blocks;
  std::uint32_t avgBytesPerSec;
};

// 10 000 8-bit samples go in 44-byte blocks, 8000 16-bit ones in 164-byte blocks.
TEST(ConvertSound, MatchesTheLayoutAndTheWholeSoundEncodedInOnePiece) {
  Bytes eightBit(10000);
  std::vector<std::int16_t> eightBitSamples;
  for (std::size_t i = 0; i < eightBit.size(); ++i) {
    eightBit[i] = static_cast<std::uint8_t>(i * 7 + i / 50);
    eightBitSamples.push_back(static_cast<std::int16_t>((eightBit[i] - 128) * 256));
  }
  const std::vector<std::int16_t> speech = SpeechLike(8000);
  for (const WorkedExample& example :
       {WorkedExample{Pcm8Wav(eightBit), eightBitSamples, 44, 124, 4346},
        WorkedExample{Pcm16Wav(speech), speech, 164, 25, 4087}}) {
    SCOPED_TRACE(example.blockAlign);
    const Bytes image = Convert(example.source).image;
    const std::uint32_t dataLength = example.blocks * example.blockAlign;
    ASSERT_EQ(image.size(), dataLength + 70u);
    const std::uint16_t samplesPerBlock = (example.blockAlign - 4) / 4 * 8 + 1;
    EXPECT_EQ(std::string(image.begin(), image.begin() + 16),
              "RIFF" + Le(dataLength + 62, 4) + "WAVEfmt ");
    // fmt: length 30, tag, mono, rate, bytes per second, block, 4 bits, extension 12, samples per
    // block, ten reserved bytes; then "fact" with the sample count and the "data" header.
    EXPECT_EQ(std::string(image.begin() + 16, image.begin() + 70),
              Le(30, 4) + Le(FORMAT_HANDSET_ADPCM, 2) + Le(1, 2) + Le(8000, 4) +
                  Le(example.avgBytesPerSec, 4) + Le(example.blockAlign, 2) + Le(4, 2) + Le(12, 2) +
                  Le(samplesPerBlock, 2) + std::string(10, '\0') + "fact" + Le(4, 4) +
                  Le(static_cast<std::uint32_t>(example.samples.size()), 4) + "data" +
                  Le(dataLength, 4));
    // Slices end on block boundaries, so slicing changes nothing.
    EXPECT_EQ(image, EncodeWhole(example.samples, example.blockAlign));
    EXPECT_EQ(CheckSoundFile(image), CONV_OK);
  }
}

TEST(ConvertSound, CopiesAHandsetFileUnchanged) {
  const Bytes handset = Convert(Pcm16Wav(SpeechLike(3000))).image;
  ASSERT_FALSE(handset.empty());
  EXPECT_EQ(Convert(handset).image, handset);
}

TEST(ConvertSound, DataShorterThanOneSampleGivesTheHeaderAlone) {
  const Bytes file =
      Riff({Chunk("fmt ", FmtPayload({})), Chunk("data", {7}), Chunk("pad ", Bytes(200, 0))});
  const Bytes image = Convert(file).image;
  ASSERT_EQ(image.size(), 70u);
  EXPECT_EQ(LoadU32(image, 58), 0u);
  EXPECT_EQ(LoadU32(image, 66), 0u);
}

TEST(ConvertSound, ImaInputKeepsItsBlockSize) {
  const auto samples = SpeechLike(5050);
  const Bytes ima = ToStandardIma(EncodeWhole(samples, 256));
  ASSERT_EQ(LoadU16(ima, 20), FORMAT_IMA_ADPCM);
  // The usual IMA header is shorter than the handset one: the output cannot fit.
  EXPECT_EQ(Convert(ima).result, CONV_OUTPUT_FULL);

  // With a longer header the conversion fits; its blocks keep 256 bytes and 505 samples.
  Bytes longer = ima;
  const Bytes info = Chunk("LIST", Bytes(30, 'i'));
  longer.insert(longer.begin() + 12, info.begin(), info.end());
  StoreU32(longer, 4, static_cast<std::uint32_t>(longer.size() - 8));
  const Bytes image = Convert(longer).image;
  ASSERT_EQ(image.size(), 70u + 10 * 256);
  EXPECT_EQ(LoadU16(image, 32), 256u);
  EXPECT_EQ(LoadU16(image, 38), 505u);
  EXPECT_EQ(LoadU32(image, 58), 5050u);
}

// Files that pass the header check but that the encoder cannot take.
TEST(ConvertSound, RefusesWhatItCannotDecodeOrHold) {
  EXPECT_EQ(Convert(ImaWav(4096, 8185, 8185, Bytes(400, 0x11))).result, CONV_BAD_FORMAT);
  EXPECT_EQ(Convert(ImaWav(256, 0, 0, Bytes(400, 0x11))).result, CONV_BAD_FORMAT);
  EXPECT_EQ(Convert(ImaWav(3000, 5993, 0, Bytes(400, 0))).result, CONV_BAD_FORMAT)
      << "blocks too long for the sample buffer";
  Bytes dataLongerThanTheFile = Pcm16Wav(std::vector<std::int16_t>(300, 5));
  StoreU32(dataLongerThanTheFile, 40, 10000);
  EXPECT_EQ(Convert(dataLongerThanTheFile).result, CONV_BAD_FORMAT);
}

}  // namespace
}  // namespace vandrel
