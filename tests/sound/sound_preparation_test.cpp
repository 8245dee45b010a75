#include "sound/sound_preparation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <future>
#endif

#include "sound/byte_order.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::size_t kPreparedHeaderBytes = 44;
// Samples left out at each end, where the resampling filter starts and stops.
constexpr std::size_t kEdgeSamples = 200;

// One sample of channel `channel` at time `t` seconds.
using Signal = std::function<double(std::uint16_t channel, double t)>;

Signal Sine(double frequency, double amplitude) {
  return [=](std::uint16_t, double t) { return amplitude * std::sin(kTwoPi * frequency * t); };
}

struct Layout {
  std::uint16_t formatTag;
  std::uint16_t bits;
  std::uint16_t subFormat = 0;  // for FORMAT_EXTENSIBLE
  bool bareFmt = false;         // no extension length word, even where the format has one

  // Appends one sample, full scale 1: a float, or an integer (unsigned when 8-bit) of `bits`.
  void Append(Bytes& data, double x) const {
    if (formatTag == FORMAT_IEEE_FLOAT || subFormat == FORMAT_IEEE_FLOAT) {
      PutU32(data, std::bit_cast<std::uint32_t>(static_cast<float>(x)));
      return;
    }
    const auto value =
        static_cast<std::uint64_t>(std::llround(x * (std::ldexp(1.0, bits - 1) - 1)));
    for (int i = 0; i < bits / 8; ++i)
      data.push_back(static_cast<std::uint8_t>((value + (bits == 8 ? 128 : 0)) >> (8 * i)));
  }
};

Bytes Frames(const Signal& signal, std::uint16_t channels, std::uint32_t rate, double seconds,
             const Layout& layout) {
  Bytes data;
  const auto frames = static_cast<std::size_t>(seconds * rate);
  for (std::size_t n = 0; n < frames; ++n)
    for (std::uint16_t channel = 0; channel < channels; ++channel)
      layout.Append(data, signal(channel, static_cast<double>(n) / rate));
  return data;
}

Bytes Extension(const Layout& layout) {
  if (layout.formatTag == FORMAT_PCM || layout.bareFmt) return {};
  if (layout.formatTag != FORMAT_EXTENSIBLE) return {0, 0};
  // 22 bytes: valid bits, no channel mask, then the sub-format's GUID
  Bytes extension{22, 0, static_cast<std::uint8_t>(layout.bits), 0, 0, 0, 0, 0};
  PutU16(extension, layout.subFormat);
  extension.insert(extension.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  return extension;
}

Bytes Wav(const Layout& layout, std::uint16_t channels, std::uint32_t rate, const Bytes& data) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * layout.bits / 8);
  return Riff({Chunk("fmt ", FmtPayload({layout.formatTag, channels, rate, blockAlign, layout.bits},
                                        Extension(layout))),
               Chunk("data", data)});
}

Bytes SignalWav(const Signal& signal, std::uint16_t channels, std::uint32_t rate, double seconds,
                const Layout& layout = {FORMAT_PCM, 16}) {
  return Wav(layout, channels, rate, Frames(signal, channels, rate, seconds, layout));
}

// The samples of a prepared image, full scale 1, after checking that it is the 16-bit mono
// 8000 Hz PCM WAV that the converter takes.
std::vector<double> PreparedSamples(const std::optional<Bytes>& image) {
  EXPECT_TRUE(image.has_value());
  if (!image) return {};
  EXPECT_EQ(LoadU16(*image, 22), 1);
  EXPECT_EQ(LoadU32(*image, 24), 8000u);
  EXPECT_EQ(LoadU16(*image, 34), 16);
  std::vector<double> samples;
  for (std::size_t at = kPreparedHeaderBytes; at + 1 < image->size(); at += 2)
    samples.push_back(static_cast<std::int16_t>(LoadU16(*image, at)) / 32768.0);
  return samples;
}

std::vector<double> Middle(const std::vector<double>& samples) {
  if (samples.size() <= 2 * kEdgeSamples) return {};
  return {samples.begin() + kEdgeSamples, samples.end() - kEdgeSamples};
}

double FrequencyOf(const std::vector<double>& samples) {
  std::size_t first = 0, last = 0, rises = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (samples[i - 1] < 0 && samples[i] >= 0) {
      if (rises++ == 0) first = i;
      last = i;
    }
  }
  return rises < 2 ? 0 : (rises - 1) * 8000.0 / static_cast<double>(last - first);
}

double Rms(const std::vector<double>& samples) {
  double sum = 0;
  for (const double x : samples) sum += x * x;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double Peak(const std::vector<double>& samples) {
  double most = 0;
  for (const double x : samples) most = std::max(most, std::abs(x));
  return most;
}

// The largest distance, away from the ends, between `samples` and the sine they should follow.
double WorstDeviationFromSine(const std::vector<double>& samples, double frequency,
                              double amplitude) {
  double worst = 0;
  for (std::size_t j = kEdgeSamples; j + kEdgeSamples < samples.size(); ++j)
    worst = std::max(worst,
                     std::abs(samples[j] - amplitude * std::sin(kTwoPi * frequency * j / 8000.0)));
  return worst;
}

TEST(PrepareSound, ALongStereoSoundAt44kHzBecomesTheSameToneAt8kHzMonoWithNoSeam) {
  // Long enough to be resampled in stretches: every output sample must still lie on the tone
  // where it belongs, which a stretch shifted or doubled by a single sample would miss by far.
  const double seconds = 14;
  const std::optional<Bytes> image =
      PrepareSound(SignalWav(Sine(1000, 0.5), 2, 44100, seconds), {});
  const std::vector<double> samples = PreparedSamples(image);
  ASSERT_NEAR(static_cast<double>(samples.size()), seconds * 8000, 2);
  EXPECT_NEAR(FrequencyOf(Middle(samples)), 1000, 10);
  EXPECT_NEAR(Rms(Middle(samples)), 0.5 / std::numbers::sqrt2, 0.01);
  EXPECT_LT(WorstDeviationFromSine(samples, 1000, 0.5), 0.01);
  EXPECT_EQ(Convert(*image).result, CONV_OK);
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// In a child process whose address space has no room for another thread's stack, a sound long
// enough for helper threads is resampled on the calling thread alone, to the same bytes.
// Leaves the process room for a few more threads only, and starts threads that wait for ever
// until the system refuses one (the stacks of threads that ended earlier are kept for reuse, so a
// small address space alone does not do it). True when a thread could no longer start.
bool UseUpEveryThread() {
  constexpr rlim_t kRoomBytes = rlim_t{3} << 20;
  constexpr int kMostThreads = 64;
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t used = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
  const rlimit limit{used + kRoomBytes, used + kRoomBytes};
  setrlimit(RLIMIT_AS, &limit);
  static std::promise<void> never;
  const std::shared_future<void> forever = never.get_future().share();
  for (int i = 0; i < kMostThreads; ++i) {
    try {
      std::thread([forever] { forever.wait(); }).detach();
    } catch (const std::system_error&) {
      return true;
    }
  }
  return false;
}

TEST(PrepareSoundDeathTest, WithNoRoomForAHelperThreadGivesTheSameSoundOnTheCaller) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const Bytes wav = SignalWav(Sine(1000, 0.5), 1, 44100, 13);
  const std::optional<Bytes> expected = PrepareSound(wav, {});
  ASSERT_TRUE(expected.has_value());
  EXPECT_EXIT(_exit(!UseUpEveryThread()                 ? 2
                    : PrepareSound(wav, {}) == expected ? 0
                                                        : 1),
              testing::ExitedWithCode(0), "");
}
#endif

TEST(PrepareSound, LeavesNoAliasOfASweepAboveTheHandsetBand) {
  // 5 to 20 kHz in two seconds, at 44.1 kHz: all of it above the 4 kHz an 8 kHz sound can hold.
  const Signal sweep = [](std::uint16_t, double t) {
    return 0.9 * std::sin(kTwoPi * (5000 * t + 3750 * t * t));
  };
  const std::vector<double> samples =
      PreparedSamples(PrepareSound(SignalWav(sweep, 1, 44100, 2.0), {}));
  const double levelDb = 20 * std::log10(Rms(Middle(samples)) * std::numbers::sqrt2 + 1e-12);
  EXPECT_LT(levelDb, -60);
}

TEST(PrepareSound, MixesEveryChannelOfASixChannelSound) {
  // Only the fifth channel sounds: a reader that kept the first channel, or lost the frame
  // stride, would not hear it as a sixth of its level.
  const Signal fifthOnly = [](std::uint16_t channel, double t) {
    return channel == 4 ? 0.6 * std::sin(kTwoPi * 1000 * t) : 0.0;
  };
  const std::vector<double> samples =
      Middle(PreparedSamples(PrepareSound(SignalWav(fifthOnly, 6, 48000, 0.5), {})));
  EXPECT_NEAR(FrequencyOf(samples), 1000, 10);
  EXPECT_NEAR(Rms(samples), 0.1 / std::numbers::sqrt2, 0.003);
}

TEST(PrepareSound, EveryEncodingKeepsTheToneAndItsLevel) {
  for (const auto& [name, layout] :
       {std::pair{"Unsigned8", Layout{FORMAT_PCM, 8}},
        std::pair{"Signed24", Layout{FORMAT_PCM, 24}},
        std::pair{"Signed32", Layout{FORMAT_PCM, 32}},
        std::pair{"Float32", Layout{FORMAT_IEEE_FLOAT, 32}},
        std::pair{"Float32BareFmt", Layout{FORMAT_IEEE_FLOAT, 32, 0, true}},
        std::pair{"Extensible24", Layout{FORMAT_EXTENSIBLE, 24, FORMAT_PCM}},
        std::pair{"ExtensibleFloat", Layout{FORMAT_EXTENSIBLE, 32, FORMAT_IEEE_FLOAT}}}) {
    const std::vector<double> samples = Middle(
        PreparedSamples(PrepareSound(SignalWav(Sine(1000, 0.5), 2, 22050, 0.5, layout), {})));
    EXPECT_NEAR(FrequencyOf(samples), 1000, 10) << name;
    EXPECT_NEAR(Rms(samples), 0.5 / std::numbers::sqrt2, 0.01) << name;
  }
}

TEST(PrepareSound, ReadsMonoImaAdpcm) {
  const Converted handset = Convert(SignalWav(Sine(1000, 0.5), 1, 8000, 1.0));
  ASSERT_EQ(handset.result, CONV_OK);
  const std::vector<double> samples =
      Middle(PreparedSamples(PrepareSound(ToStandardIma(handset.image), {})));
  EXPECT_NEAR(FrequencyOf(samples), 1000, 10);
  EXPECT_NEAR(Rms(samples), 0.5 / std::numbers::sqrt2, 0.02);
}

TEST(PrepareSound, ReadsNonFiniteFloatSamplesAsSilence) {
  // Taken as numbers, they would wipe out the output around them, and converting a NaN to an
  // integer is undefined.
  Bytes data = Frames(Sine(1000, 0.5), 1, 16000, 1.0, {FORMAT_IEEE_FLOAT, 32});
  StoreU32(data, 8000 * 4, std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN()));
  StoreU32(data, 8001 * 4, std::bit_cast<std::uint32_t>(std::numeric_limits<float>::infinity()));
  const std::vector<double> samples =
      PreparedSamples(PrepareSound(Wav({FORMAT_IEEE_FLOAT, 32}, 1, 16000, data), {}));
  EXPECT_LT(WorstDeviationFromSine(samples, 1000, 0.5), 0.2);
}

TEST(PrepareSound, TrimKeepsTheStartAndNormaliseBringsThePeakToFullScale) {
  const Bytes quiet = SignalWav(Sine(440, 0.25), 1, 16000, 3.0);
  const std::vector<double> shaped =
      PreparedSamples(PrepareSound(quiet, {.maxSeconds = 1.25, .normalise = true}));
  EXPECT_EQ(shaped.size(), 10000u);
  EXPECT_NEAR(Peak(shaped), 1.0, 0.001);
  const std::vector<double> plain = PreparedSamples(PrepareSound(quiet, {}));
  EXPECT_NEAR(static_cast<double>(plain.size()), 24000, 2);
  EXPECT_NEAR(Peak(plain), 0.25, 0.01);
}

TEST(PrepareSound, GivesNoSoundOfWhatItCannotRead) {
  for (const auto& [name, image] :
       {std::pair{"NotRiff", Bytes(400, 0x55)},
        std::pair{"NoData", Riff({Chunk("fmt ", FmtPayload({FORMAT_PCM, 1, 8000, 2, 16}))})},
        std::pair{"CompressedTag", Wav({0x0055, 16}, 1, 8000, Bytes(400, 0))},
        std::pair{"RateTooLow", Wav({FORMAT_PCM, 16}, 1, 2000, Bytes(400, 0))},
        std::pair{"DoubleFloat", Wav({FORMAT_IEEE_FLOAT, 64}, 1, 8000, Bytes(400, 0))},
        std::pair{"NoChannels", Wav({FORMAT_PCM, 16}, 0, 8000, Bytes(400, 0))},
        std::pair{"ForeignSubFormat", Wav({FORMAT_EXTENSIBLE, 16, 0x0055}, 1, 8000, Bytes(400, 0))},
        std::pair{
            "TwoChannelIma",
            Riff({Chunk("fmt ", FmtPayload({FORMAT_IMA_ADPCM, 2, 8000, 512, 4}, {2, 0, 0xF9, 1})),
                  Chunk("data", Bytes(1024, 0))})}})
    EXPECT_FALSE(PrepareSound(image, {}).has_value()) << name;
}

}  // namespace
}  // namespace vandrel
