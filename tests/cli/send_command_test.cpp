#include "cli/send_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "cli/batch_report.h"
#include "cli/exit_status.h"
#include "objects/media_file.h"
#include "serial/port_map.h"
#include "tests/app/installed_store.h"
#include "tests/cli/run_cli.h"
#include "tests/picture/test_pictures.h"
#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using testing::HasSubstr;

// A port that no device answers on.
constexpr const char* kDeadPort = "200";

class SendCommandTest : public testing::Test {
 protected:
  InstalledStore store_;
  const ScratchFolder folder_;
  const std::string picture_ = folder_.Write("picture.gif", "GIF89a picture").string();
};

// A picture given as a sound is looked for in the sound list, where it has no format.
TEST_F(SendCommandTest, KindOptionChoosesTheListTheExtensionMustBeIn) {
  const CliOutput run =
      RunCli({"send", "--lang", "en", "--kind", "sound", "--port", kDeadPort, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, testing::StartsWith(picture_ + ": Error 0x26 : File "));
  EXPECT_THAT(run.err, HasSubstr(" has bad format\n"));
}

TEST_F(SendCommandTest, TraceThatCannotBeWrittenEndsTheRunBeforeAnySend) {
  const std::string trace = (folder_.path() / "missing" / "trace.txt").string();
  const CliOutput run = RunCli({"send", "--port", kDeadPort, "--trace", trace, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("Cannot write the trace file " + trace));
  EXPECT_EQ(run.out, "");
}

// The trace is added to what a file held; naming a file to send, under any spelling, is a usage
// error that leaves that file alone.
TEST_F(SendCommandTest, TraceAddsToItsFileAndIsNeverOneOfTheFilesSent) {
  const std::string earlier = "an earlier run\n";
  const std::string trace = folder_.Write("trace.txt", earlier).string();
  EXPECT_EQ(RunCli({"send", "--port", kDeadPort, "--trace", trace, picture_}).status, kExitFailed);
  const std::string traced = ReadWhole(trace);
  EXPECT_THAT(traced, testing::StartsWith(earlier));
  EXPECT_GT(traced.size(), earlier.size());

  const std::string sameFile = (folder_.path() / "." / "picture.gif").string();
  const CliOutput run = RunCli({"send", "--port", kDeadPort, "--trace", sameFile, picture_});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_THAT(run.err, HasSubstr(sameFile + " is one of the files to send"));
  EXPECT_EQ(ReadWhole(picture_), "GIF89a picture");
}

TEST(ParsePictureSize, TakesTwoSidesOfOneToTenThousandPixelsAndNothingElse) {
  const std::optional<PictureSize> size = ParsePictureSize("128x160");
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 128);
  EXPECT_EQ(size->height, 160);
  EXPECT_EQ(ParsePictureSize("10000X1")->width, 10000);
  for (const char* text : {"0x160", "10001x1", "128x", "x160", "-1x5", "+1x5", "128x160x2",
                           "99999999999999999999x1", "1x99999999999999999999", "128 x160"})
    EXPECT_FALSE(ParsePictureSize(text).has_value()) << text;
}

// Fills the process's port map: a test of its own, last of those that give paths numbers.
TEST_F(SendCommandTest, DeviceThatNoNumberIsLeftForEndsTheRun) {
  for (int taken = 0; taken <= kMaxPortNumber; ++taken)
    if (RegisterSerialDevicePath((folder_.path() / std::to_string(taken)).string()) < 0) break;
  const std::string device = (folder_.path() / "one-more").string();
  const CliOutput run = RunCli({"send", "--device", device, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("No port number is left for " + device));
}

// Two seconds of 44.1 kHz sound go as they are (176 444 bytes, 16 s at 115 200 bit/s): the run
// says what fitting would gain, --fit says what it sends instead, and quiet says neither.
TEST_F(SendCommandTest, SoundThatFittingShrinksGetsAHintOrIsSentFitted) {
  const std::string song =
      folder_.Write("song.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(2 * 44100), 44100))
          .string();

  const CliOutput hinted = RunCli({"send", "--lang", "en", "--port", kDeadPort, song});
  const std::string label = song + ": with --fit, ";
  const std::size_t line = hinted.err.find(label);
  ASSERT_NE(line, std::string::npos) << hinted.err;
  std::smatch hint;
  const std::string rest = hinted.err.substr(line + label.size());
  ASSERT_TRUE(std::regex_search(
      rest, hint,
      std::regex("^([0-9]+) bytes instead of 176444 \\(1 s instead of 16 s at 115200 bit/s\\)\n")))
      << hinted.err;
  EXPECT_LE(std::stoul(hint[1]) * 4, 176444u);

  const CliOutput fitted = RunCli({"send", "--lang", "en", "--port", kDeadPort, "--fit", song});
  EXPECT_THAT(fitted.out, HasSubstr(song + ": Sending the handset version: " + hint[1].str() +
                                    " bytes instead of 176444 (1 s instead of 16 s at 115200 "
                                    "bit/s).\n"));
  EXPECT_THAT(fitted.err, testing::Not(HasSubstr("with --fit")));

  const CliOutput quiet = RunCli({"send", "-q", "--port", kDeadPort, song});
  EXPECT_THAT(quiet.err, testing::Not(HasSubstr("with --fit")));
  EXPECT_EQ(RunCli({"send", "--trim", "5", song}).status, kExitUsage);
}

// A WebP, which the handset does not take, goes only fitted: without --fit the refusal says so.
TEST_F(SendCommandTest, WebpIsRefusedWithoutFitSayingFittingWouldSendIt) {
  const std::string webp = folder_.Write("red.webp", test_pictures::kRedWebp).string();
  const CliOutput refused = RunCli({"send", "--lang", "en", "--port", kDeadPort, webp});
  EXPECT_EQ(refused.status, kExitFailed);
  EXPECT_THAT(refused.err, HasSubstr("File " + webp +
                                     " is a WebP picture, which the handset does "
                                     "not take: with fitting on (--fit"));
  const CliOutput fitted = RunCli(
      {"send", "--lang", "en", "--port", kDeadPort, "--fit", "--picture-size", "128x160", webp});
  EXPECT_THAT(fitted.out, HasSubstr(webp + ": Sending the handset version: "));
  EXPECT_THAT(fitted.err, testing::Not(HasSubstr("WebP")));
}

// The download line names the port and the speed the handset was found at, as the send job
// reports them, and a quiet run leaves it out.
TEST(BatchReport, DownloadLineNamesThePortAndSpeedTheHandsetWasFoundAt) {
  RecordingUserInterface console;
  AppState state;
  state.filePath = "me.vcf";
  const MediaFile file;
  BatchReport report(console, state, false);
  report.ObjectLoaded(file);
  report.HandsetFound(7, 57600);
  ASSERT_EQ(console.boxes.size(), 1u);
  EXPECT_NE(console.boxes[0].text.find(", to COM7 ("), std::string::npos) << console.boxes[0].text;
  EXPECT_TRUE(console.boxes[0].text.ends_with(") at 57600 bit/s")) << console.boxes[0].text;

  BatchReport quiet(console, state, true);
  quiet.ObjectLoaded(file);
  quiet.HandsetFound(7, 57600);
  EXPECT_EQ(console.boxes.size(), 1u);
}

}  // namespace
}  // namespace vandrel
