#include "cli/convert_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

#include "cli/exit_status.h"
#include "platform/user_interface.h"
#include "platform/utf8_path.h"
#include "sound/byte_order.h"
#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;
namespace fs = std::filesystem;

class ConvertCommand : public testing::Test {
 protected:
  // The names are UTF-8, which a path made from a narrow string on Windows would not read so.
  std::string PathOf(const std::string& name) const {
    return PathToUtf8(folder.path() / Utf8Path(name));
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    return PathToUtf8(folder.Write(name, bytes));
  }

  Bytes Read(const std::string& path) const {
    const std::string bytes = ReadWhole(Utf8Path(path));
    return Bytes(bytes.begin(), bytes.end());
  }

  std::string OnlyError() const {
    EXPECT_EQ(recorder.boxes.size(), 1u);
    if (recorder.boxes.empty()) return "";
    EXPECT_EQ(recorder.boxes[0].kind, BoxKind::kError);
    return recorder.boxes[0].text;
  }

  RecordingUserInterface recorder;
  ScratchFolder folder;
};

TEST_F(ConvertCommand, WritesTheHandsetRenditionUnderAnyName) {
  const Bytes wav = Pcm16Wav(SpeechLike(8000));
  const std::string input = Write("Sonnerie d'été.wav", wav);
  const std::string output = PathOf("sortie \xCE\xA9.wav");
  EXPECT_EQ(RunConvert(input, output, recorder), kExitDone);
  EXPECT_EQ(Read(output), Convert(wav).image);
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].kind, BoxKind::kNotice);
}

TEST_F(ConvertCommand, RefusedInputsWriteNothingAndSayWhy) {
  const std::pair<Bytes, const char*> cases[] = {
      {Riff({Chunk("fmt ", FmtPayload({0x0055, 2, 8000, 4, 16}, {0, 0})),
             Chunk("data", Bytes(800, 0))}),
       "it is not a WAV file of the accepted kind (4000–192000 Hz, any number of channels, PCM "
       "8/16/24/32-bit, 32-bit float, A-law, µ-law or mono IMA ADPCM)"},
      {Pcm8Wav(Bytes(100, 0x80)), "it is shorter than 200 bytes"},
      {Convert(Pcm16Wav(SpeechLike(3000))).image, "it is already in the handset format"},
      {ToStandardIma(Convert(Pcm16Wav(SpeechLike(3000))).image),
       "the conversion would not be smaller"}};
  for (const auto& [bytes, reason] : cases) {
    recorder.boxes.clear();
    const std::string input = Write("in.wav", bytes);
    const std::string output = PathOf("out.wav");
    EXPECT_EQ(RunConvert(input, output, recorder), kExitFailed) << reason;
    EXPECT_FALSE(fs::exists(Utf8Path(output))) << reason;
    EXPECT_EQ(OnlyError(),
              "vandrel-cli: " + input + " is not converted: " + reason + ". Nothing was written.");
  }
}

TEST_F(ConvertCommand, PreparesAStereo44kHzSoundThenConvertsIt) {
  std::vector<std::int16_t> stereo;
  for (const std::int16_t sample : SpeechLike(44100)) stereo.insert(stereo.end(), {sample, sample});
  Bytes input = Pcm16Wav(stereo, 44100);
  StoreU16(input, 22, 2);  // channels
  StoreU16(input, 32, 4);  // block align
  const std::string inputPath = Write("in.wav", input);
  const std::string output = PathOf("out.wav");
  EXPECT_EQ(RunConvert(inputPath, output, recorder, {.maxSeconds = 0.5}), kExitDone);
  const Bytes converted = Read(output);
  ASSERT_GT(converted.size(), 70u);
  EXPECT_EQ(LoadU16(converted, 20), FORMAT_HANDSET_ADPCM);
  EXPECT_EQ(LoadU32(converted, 24), 8000u);
  EXPECT_EQ(LoadU32(converted, 58), 4000u);  // the fact chunk's sample count: half a second
}

TEST_F(ConvertCommand, MissingInputAndUnwritableOutputAreFileErrorsThatLeaveNothing) {
  const std::string missing = PathOf("none.wav");
  EXPECT_EQ(RunConvert(missing, PathOf("out.wav"), recorder), kExitFailed);
  EXPECT_TRUE(OnlyError().starts_with("vandrel-cli: cannot read " + missing + ": "));

  recorder.boxes.clear();
  const std::string input = Write("in.wav", Pcm16Wav(SpeechLike(3000)));
  const std::string output = PathOf("missing folder/out.wav");
  EXPECT_EQ(RunConvert(input, output, recorder), kExitFailed);
  EXPECT_FALSE(fs::exists(Utf8Path(output)));
  EXPECT_TRUE(OnlyError().starts_with("vandrel-cli: cannot write " + output + ": "));
}

TEST_F(ConvertCommand, ConvertsASoundInPlace) {
  const Bytes wav = Pcm16Wav(SpeechLike(8000));
  const std::string sound = Write("song.wav", wav);
  EXPECT_EQ(RunConvert(sound, sound, recorder), kExitDone);
  EXPECT_EQ(Read(sound), Convert(wav).image);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

#ifndef _WIN32
int RunConvertOnAFullDisk(const std::string& input, const std::string& output) {
  constexpr rlim_t kFileSizeLimit = 4096;
  const rlimit limit{kFileSizeLimit, kFileSizeLimit};
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  RecordingUserInterface ui;
  return RunConvert(input, output, ui);
}

// A disk that fills up half-way (a file size limit of 4 KiB, with the signal that would end the
// process ignored): the sound that was there, even the one being converted, stays byte for byte,
// and no part-written file is left beside it.
TEST_F(ConvertCommand, AWriteThatFailsLeavesOutAsItWas) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const Bytes wav = Pcm16Wav(SpeechLike(40000));
  const std::string input = Write("song.wav", wav);
  const Bytes old(10000, 0x5A);
  const std::string output = Write("old.wav", old);
  for (const std::string& target : {output, input}) {
    EXPECT_EXIT(_exit(RunConvertOnAFullDisk(input, target)), testing::ExitedWithCode(kExitFailed),
                "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
  }
  EXPECT_EQ(Read(output), old);
  EXPECT_EQ(Read(input), wav);
}
#endif

}  // namespace
}  // namespace vandrel
