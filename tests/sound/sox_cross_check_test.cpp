#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "sound/sound_converter.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;
namespace fs = std::filesystem;

// The handset format differs from standard IMA ADPCM only in its nibble order and one header
// byte, so an independent IMA ADPCM decoder (sox) must hear our blocks as the original sound.
class SoxCrossCheck : public testing::TestWithParam<std::size_t> {
 protected:
  void SetUp() override {
    if (std::system("sox --version >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "sox is not installed (scripts/install-deps installs it)";
    folder = fs::temp_directory_path() / ("vandrel-sox-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
};

TEST_P(SoxCrossCheck, DecodesOurEncodingWithin20Decibels) {
  const std::vector<std::int16_t> speech = SpeechLike(GetParam());
  const Bytes source = Pcm16Wav(speech);
  Bytes converted(source.size());
  std::size_t length = 0;
  ASSERT_EQ(ConvertSound(source, converted, length), CONV_OK);
  converted.resize(length);

  const Bytes standard = ToStandardIma(converted);
  const fs::path encoded = folder / "encoded.wav";
  const fs::path decoded = folder / "decoded.raw";
  std::ofstream(encoded, std::ios::binary)
      .write(reinterpret_cast<const char*>(standard.data()),
             static_cast<std::streamsize>(standard.size()));
  const std::string command = "sox '" + encoded.string() + "' -e signed-integer -b 16 -t raw '" +
                              decoded.string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  std::ifstream in(decoded, std::ios::binary);
  const Bytes raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::int16_t> samples(raw.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  ASSERT_GE(samples.size(), speech.size());
  const double snr = SignalToNoiseDb(speech, samples);
  RecordProperty("snr_db", std::to_string(snr));
  EXPECT_GE(snr, 20.0);
}

// 40 000 samples give 44-byte blocks, 40 100 give 164-byte blocks.
INSTANTIATE_TEST_SUITE_P(BlockLengths, SoxCrossCheck, testing::Values(40000, 40100));

}  // namespace
}  // namespace vandrel
