// End to end: vandrel-cli (natively, or under Wine) sends into handset-sim over a real
// pseudo-terminal. Every run of a send costs seconds of the handset's fixed waits, so the runs
// start together when the first result is asked for and each test only checks its own.
// A handset's misbehaviour at each step of the conversation (refusals, error codes, overlong
// answers, silence, stalls, hang-ups) is the fault suite's; here are whole sends, a refused ADPCM
// rendition and a handset short of memory among them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <future>
#include <map>
#include <regex>

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"
#include "tests/integration/harness.h"
#include "tests/picture/test_pictures.h"
#include "tests/sound/wav_builder.h"

namespace vandrel::e2e {
namespace {

using testing::EndsWith;
using testing::HasSubstr;

// A sample's path as the program under test was given it.
std::string Given(const std::string& sample) {
  return Target::Get().FilePath(Sample(sample));
}

std::string Sent(const std::string& sample) {
  return Given(sample) + ": Successfull Download\n";
}

// The output with the device and the speed of each port left out: "to COM3 at N bit/s" (under
// Wine the speeds that earlier runs stored are tried first).
std::string WithoutDevices(const std::string& out) {
  return std::regex_replace(out, std::regex(" \\([^()]*\\) at [0-9]+ bit/s"), " at N bit/s");
}

// How often `pattern` matches in `text`.
std::ptrdiff_t Occurrences(const std::string& text, const std::string& pattern) {
  const std::regex expression(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), expression),
                       std::sregex_iterator());
}

// What the handset stores of `bytes`, the title being the file's name without its extension.
StoredObject Object(int formatCode, const std::string& title, const std::string& bytes) {
  return {formatCode, title, bytes.size(), bytes};
}

struct Scenario {
  std::vector<std::string> simOptions;
  std::vector<std::string> arguments;  // sample names become their paths, options stay
};

// A distinct IMEI per handset: under Wine the ADPCM records of earlier runs stay in the prefix.
std::string UniqueImei(int salt) {
  return "35" + std::to_string(100000000 + (getpid() % 100000) * 100 + salt) + "0000";
}

const std::map<std::string, Scenario>& Scenarios() {
  static const std::map<std::string, Scenario> scenarios{
      {"samples",
       {{"--split", "7", "--split-pause", "5"},
        {"picture.png", "ringtone.wav", "animation.gif", "contact.vcf"}}},
      {"adpcm-refused",
       {{"--refuse-adpcm", "--imei", UniqueImei(1)}, {"ringtone.wav", "ringtone.wav"}}},
      {"mixed",
       {{"--free-memory", "1000"},
        {"contact.vcf", "missing.vcf", "empty.gif", "notes.txt", "picture.png"}}},
      {"late-answers",
       {{"--late-answer", "ati3=1500", "--late-answer", "close=300"},
        {"contact.vcf", "contact.vcf"}}},
      {"fitted", {{}, {"--fit", "song.wav"}}},
      {"webp", {{}, {"--fit", "--picture-size=128x160", "red.webp"}}},
  };
  return scenarios;
}

std::vector<std::string> WithSamplePaths(const std::vector<std::string>& arguments,
                                         const std::filesystem::path& scratch) {
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    const std::filesystem::path sample = Sample(argument);
    const std::filesystem::path path =
        std::filesystem::exists(sample) ? sample : scratch / argument;
    paths.push_back(argument.starts_with("--") ? argument : Target::Get().FilePath(path));
  }
  return paths;
}

// The files that must fail before a port is opened, and two seconds of 44.1 kHz sound, which
// the handset's ADPCM converter does not take as it is, in a folder of the suite's own.
const std::filesystem::path& Scratch() {
  static TempFolder folder;
  static const bool made = [] {
    folder.Write("empty.gif", "");
    folder.Write("notes.txt", "not an object\n");
    folder.Write("red.webp", test_pictures::kRedWebp);
    folder.Write("song.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(2 * 44100), 44100));
    return true;
  }();
  (void)made;
  return folder.path();
}

std::map<std::string, std::shared_future<CliRun>>& Runs() {
  static std::map<std::string, std::shared_future<CliRun>> runs;
  return runs;
}

// Starts every scenario on a thread of its own, before the first test runs.
class StartSends : public testing::Environment {
 public:
  void SetUp() override {
    for (const auto& [name, scenario] : Scenarios()) {
      Runs()[name] = std::async(std::launch::async, [scenario] {
                       Session session(scenario.simOptions);
                       // the texts compared are English, whatever language is stored
                       std::vector<std::string> arguments{"--lang", "en"};
                       for (std::string& path : WithSamplePaths(scenario.arguments, Scratch()))
                         arguments.push_back(std::move(path));
                       return session.Run("send", arguments);
                     }).share();
    }
  }
};

[[maybe_unused]] testing::Environment* const startSends =
    testing::AddGlobalTestEnvironment(new StartSends);

const CliRun& Outcome(const std::string& name) {
  return Runs().at(name).get();
}

}  // namespace

void AwaitAllSends() {
  for (const auto& [name, run] : Runs()) run.wait();
}

namespace {

TEST(SendEndToEnd, EverySampleArrivesByteForByteTheSoundAsItsAdpcmRendition) {
  const CliRun& run = Outcome("samples");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  TempFolder folder;
  const std::string rendition = AdpcmRendition(Sample("ringtone.wav"), folder.path());
  // a line when each download starts, its result, and the summary
  const std::string port = "COM" + std::to_string(run.port) + " at N bit/s\n";
  EXPECT_EQ(WithoutDevices(run.out),
            Given("picture.png") + ": graphic PNG, 2902 bytes, to " + port + Sent("picture.png") +
                Given("ringtone.wav") + ": sound WAV, 23084 bytes (ADPCM rendition " +
                std::to_string(rendition.size()) + " bytes), to " + port + Sent("ringtone.wav") +
                Given("animation.gif") + ": graphic GIF, 1329 bytes, to " + port +
                Sent("animation.gif") + Given("contact.vcf") + ": vcard VCF, 138 bytes, to " +
                port + Sent("contact.vcf") + "4 sent, 0 failed\n");
  EXPECT_LT(rendition.size(), ReadWhole(Sample("ringtone.wav")).size());
  EXPECT_EQ(run.stored, (std::vector{Object(103, "picture", ReadWhole(Sample("picture.png"))),
                                     Object(1, "ringtone", rendition),
                                     Object(105, "animation", ReadWhole(Sample("animation.gif"))),
                                     Object(220, "contact", ReadWhole(Sample("contact.vcf")))}));
}

// The commands are counted in the trace below, the pauses by the fault suite.
TEST(SendEndToEnd, TraceShowsPortSpeedAnswersAndOutcome) {
  const CliRun& run = Outcome("samples");
  EXPECT_THAT(run.trace, HasSubstr("at 115200 bit/s"));
  // an answer read from the port, whole up to its final line
  EXPECT_TRUE(
      std::regex_search(run.trace, std::regex("COM[0-9]+ < [0-9]+ bytes \"[^\"]*OK\\\\r\\\\n\"")))
      << run.trace;
  EXPECT_THAT(run.trace, HasSubstr("notice: \"Successfull Download\""));
  EXPECT_THAT(run.trace, HasSubstr("end: 4 sent, 0 failed"));
}

TEST(SendEndToEnd, RefusedAdpcmArrivesAsPcmAndTheNextSendGoesAsPcmAtOnce) {
  const CliRun& run = Outcome("adpcm-refused");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, EndsWith("2 sent, 0 failed\n"));
  const std::string pcm = ReadWhole(Sample("ringtone.wav"));
  EXPECT_EQ(run.stored, (std::vector{Object(1, "ringtone", pcm), Object(1, "ringtone", pcm)}));
  // the first file's object command goes twice (ADPCM, then PCM), the second's once
  EXPECT_EQ(Occurrences(run.trace, "> [0-9]+ bytes \"AT\\+KDOBJ=2,1,0,1,"), 3) << run.trace;
}

// A late answer is never taken for the next command's: the first "ATI3", answered after its wait,
// is taken by the retry and the retry's own answer dropped; the first file's closing answer, late
// too, is not taken for the kept handset's IMEI, so the second file goes over the same link.
TEST(SendEndToEnd, LateAnswersAreNotTakenForTheNextCommands) {
  const CliRun& run = Outcome("late-answers");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, EndsWith("2 sent, 0 failed\n"));
  const std::string card = ReadWhole(Sample("contact.vcf"));
  EXPECT_EQ(run.stored, (std::vector{Object(220, "contact", card), Object(220, "contact", card)}));
  EXPECT_EQ(Occurrences(run.trace, "open COM"), 1) << run.trace;
  EXPECT_EQ(Occurrences(run.trace, "> [0-9]+ bytes \"ATI3"), 2) << run.trace;
  EXPECT_EQ(Occurrences(run.trace, "> [0-9]+ bytes \"AT\\+CGSN"), 2) << run.trace;
}

// Each failure is labelled with its file; files that cannot be sent fail before a port is
// opened for them, and the handset's refusal comes after the line of its download.
TEST(Batch, EveryFileIsNamedWithItsResultAndTheRunEndsWithASummary) {
  const CliRun& run = Outcome("mixed");
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.stored.size(), 1u);
  const std::string missing = Target::Get().FilePath(Scratch() / "missing.vcf");
  const std::string empty = Target::Get().FilePath(Scratch() / "empty.gif");
  const std::string notes = Target::Get().FilePath(Scratch() / "notes.txt");
  EXPECT_EQ(run.err, Labelled(missing, "Error 0x28 : Failed opening file " + missing) +
                         Labelled(empty, "Error 0x27 : File " + empty + " has bad length : 0") +
                         Labelled(notes, "Error 0x26 : File " + notes + " has bad format") +
                         Labelled(Given("picture.png"), EventLine(kEventPhoneMemoryLow, run.port)));
  const std::string port = "COM" + std::to_string(run.port) + " at N bit/s\n";
  EXPECT_EQ(WithoutDevices(run.out), Given("contact.vcf") + ": vcard VCF, 138 bytes, to " + port +
                                         Sent("contact.vcf") + Given("picture.png") +
                                         ": graphic PNG, 2902 bytes, to " + port +
                                         "1 sent, 4 failed\n");
  EXPECT_EQ(Occurrences(run.trace, "open COM"), 2) << run.trace;
}

TEST(SendEndToEnd, SoundSentFittedArrivesAsTheAdpcmRenditionOfThePreparedSound) {
  const CliRun& run = Outcome("fitted");
  EXPECT_EQ(run.status, 0) << run.err;
  TempFolder folder;
  const std::string rendition = AdpcmRendition(Scratch() / "song.wav", folder.path());
  EXPECT_EQ(run.stored, std::vector{Object(1, "song", rendition)}) << run.err;
}

// The handset has no code for a WebP: it stores the PNG the WebP was fitted as, under PNG's code.
TEST(SendEndToEnd, WebpSentFittedArrivesAsAPng) {
  const CliRun& run = Outcome("webp");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(WithoutDevices(run.out), HasSubstr(": graphic PNG, "));
  ASSERT_EQ(run.stored.size(), 1u) << run.err;
  EXPECT_EQ(run.stored[0].formatCode, 103);
  EXPECT_EQ(run.stored[0].title, "red");
  EXPECT_THAT(run.stored[0].bytes, testing::StartsWith("\x89PNG"));
}

}  // namespace
}  // namespace vandrel::e2e
