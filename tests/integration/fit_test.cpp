// End to end: a sound sent with --fit into handset-sim.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "tests/integration/harness.h"
#include "tests/sound/wav_builder.h"

namespace vandrel::e2e {
namespace {

using testing::HasSubstr;

// Two seconds of 44.1 kHz sound, which the handset's ADPCM converter does not take as it is.
TEST(FitEndToEnd, SoundSentFittedArrivesAsTheAdpcmRenditionOfThePreparedSound) {
  TempFolder folder;
  const std::filesystem::path song = folder.path() / "song.wav";
  const wav_builder::Bytes wav = wav_builder::Pcm16Wav(wav_builder::SpeechLike(2 * 44100), 44100);
  std::ofstream(song, std::ios::binary)
      .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
  const std::string rendition = AdpcmRendition(song, folder.path());
  ASSERT_FALSE(rendition.empty());

  Session session({});
  const CliRun run = session.Run("send", {"--lang", "en", "--fit", Target::Get().FilePath(song)});
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.stored.size(), 1u) << run.err;
  EXPECT_EQ(run.stored[0].bytes, rendition);
  EXPECT_EQ(run.stored[0].formatCode, 1);
  EXPECT_EQ(run.stored[0].title, "song");
  EXPECT_THAT(run.out,
              HasSubstr(": Sending the handset version: " + std::to_string(rendition.size()) +
                        " bytes instead of " + std::to_string(wav.size()) + " ("));
}

}  // namespace
}  // namespace vandrel::e2e
