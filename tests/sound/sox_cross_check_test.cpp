#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;

// Signal-to-noise ratio of `decoded` against `original`, in dB, over the original's length.
double SignalToNoiseDb(const std::vector<std::int16_t>& original,
                       const std::vector<std::int16_t>& decoded) {
  double signal = 0.0;
  double noise = 0.0;
  for (std::size_t i = 0; i < original.size(); ++i) {
    signal += std::pow(original[i], 2.0);
    noise += std::pow(original[i] - decoded.at(i), 2.0);
  }
  return 10.0 * std::log10(signal / std::max(noise, 1.0));
}

// The handset format differs from standard IMA ADPCM only in its nibble order and one header
// byte, so an independent IMA ADPCM decoder (sox) must hear our blocks as the original sound.
// 40 000 samples give 44-byte blocks, 40 100 give 164-byte blocks.
TEST(SoxCrossCheck, DecodesOurEncodingWithin20Decibels) {
  if (std::system("sox --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "sox is not installed (scripts/install-deps installs it)";
  const ScratchFolder folder;
  for (const std::size_t length : {40000, 40100}) {
    const std::vector<std::int16_t> speech = SpeechLike(length);
    const Converted converted = Convert(Pcm16Wav(speech));
    ASSERT_EQ(converted.result, CONV_OK);
    const auto encoded = folder.Write("encoded.wav", ToStandardIma(converted.image));
    const auto decoded = folder.path() / "decoded.raw";
    const std::string command = "sox '" + encoded.string() + "' -e signed-integer -b 16 -t raw '" +
                                decoded.string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::string raw = ReadWhole(decoded);
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);  // in the machine's byte order
    ASSERT_GE(samples.size(), speech.size());
    const double snr = SignalToNoiseDb(speech, samples);
    RecordProperty("snr_db_" + std::to_string(length), std::to_string(snr));
    EXPECT_GE(snr, 20.0) << length;
  }
}

}  // namespace
}  // namespace vandrel
