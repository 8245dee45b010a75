// End to end: vandrel-cli (natively, or under Wine) sends into handset-sim over a real
// pseudo-terminal. Every run of a send costs seconds of the handset's fixed waits, so the runs
// start together when the first result is asked for and each test only checks its own.
// A handset's misbehaviour at each step of the conversation (refusals, error codes, overlong
// answers, silence, stalls, hang-ups) is the fault suite's; here are whole sends, a refused ADPCM
// rendition and a handset short of memory among them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <map>
#include <regex>

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"
#include "tests/integration/harness.h"

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

struct Scenario {
  std::vector<std::string> simOptions;
  std::vector<std::string> arguments;  // sample names become their paths
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
  };
  return scenarios;
}

std::vector<std::string> WithSamplePaths(const std::vector<std::string>& arguments,
                                         const std::filesystem::path& scratch) {
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    std::filesystem::path path = Sample(argument);
    if (!std::filesystem::exists(path)) path = scratch / argument;
    paths.push_back(Target::Get().FilePath(path));
  }
  return paths;
}

// The files that must fail before a port is opened, in a folder of the suite's own.
const std::filesystem::path& Scratch() {
  static TempFolder folder;
  static const bool made = [] {
    std::ofstream(folder.path() / "empty.gif").flush();
    std::ofstream(folder.path() / "notes.txt") << "not an object\n";
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
  ASSERT_EQ(run.stored.size(), 4u) << run.err;
  TempFolder folder;
  const std::string rendition = AdpcmRendition(Sample("ringtone.wav"), folder.path());
  ASSERT_FALSE(rendition.empty());
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
  EXPECT_EQ(run.stored[0].bytes, ReadWhole(Sample("picture.png")));
  EXPECT_EQ(run.stored[1].bytes, rendition);
  EXPECT_EQ(run.stored[2].bytes, ReadWhole(Sample("animation.gif")));
  EXPECT_EQ(run.stored[3].bytes, ReadWhole(Sample("contact.vcf")));
  EXPECT_EQ(run.stored[0].formatCode, 103);
  EXPECT_EQ(run.stored[1].formatCode, 1);
  EXPECT_EQ(run.stored[2].formatCode, 105);
  EXPECT_EQ(run.stored[3].formatCode, 220);
  EXPECT_EQ(run.stored[0].title, "picture");
  EXPECT_EQ(run.stored[3].title, "contact");
}

TEST(SendEndToEnd, TraceShowsPortSpeedCommandsAnswersPausesAndOutcome) {
  const CliRun& run = Outcome("samples");
  EXPECT_THAT(run.trace, HasSubstr("at 115200 bit/s"));
  EXPECT_THAT(run.trace, HasSubstr("> 3 bytes \"AT\\r\""));
  // an answer read from the port, whole up to its final line
  EXPECT_TRUE(
      std::regex_search(run.trace, std::regex("COM[0-9]+ < [0-9]+ bytes \"[^\"]*OK\\\\r\\\\n\"")))
      << run.trace;
  EXPECT_THAT(run.trace, HasSubstr("pause 100 ms"));
  EXPECT_THAT(run.trace, HasSubstr("AT+KDOBJ=2,1,0,103,"));
  EXPECT_THAT(run.trace, HasSubstr("notice: \"Successfull Download\""));
  EXPECT_THAT(run.trace, HasSubstr("end: 4 sent, 0 failed"));
}

TEST(SendEndToEnd, RefusedAdpcmArrivesAsPcmAndTheNextSendGoesAsPcmAtOnce) {
  const CliRun& run = Outcome("adpcm-refused");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, EndsWith("2 sent, 0 failed\n"));
  ASSERT_EQ(run.stored.size(), 2u);
  const std::string pcm = ReadWhole(Sample("ringtone.wav"));
  EXPECT_EQ(run.stored[0].bytes, pcm);
  EXPECT_EQ(run.stored[1].bytes, pcm);
  // the first file's object command goes twice (ADPCM, then PCM), the second's once
  const std::regex objectCommand("> [0-9]+ bytes \"AT\\+KDOBJ=2,1,0,1,");
  const auto count =
      std::distance(std::sregex_iterator(run.trace.begin(), run.trace.end(), objectCommand),
                    std::sregex_iterator());
  EXPECT_EQ(count, 3) << run.trace;
}

// Each failure is labelled with its file; files that cannot be sent fail before a port is
// opened for them, and the handset's refusal comes after the line of its download.
TEST_F(EventTexts, EveryFileIsNamedWithItsResultAndTheRunEndsWithASummary) {
  const CliRun& run = Outcome("mixed");
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.stored.size(), 1u);
  const std::string missing = Target::Get().FilePath(Scratch() / "missing.vcf");
  const std::string empty = Target::Get().FilePath(Scratch() / "empty.gif");
  const std::string notes = Target::Get().FilePath(Scratch() / "notes.txt");
  EXPECT_EQ(run.err,
            Labelled(missing, FormatEvent(Event{kEventFileOpenFailed, 0, 0, missing, ""})) +
                Labelled(empty, FormatEvent(Event{kEventFileBadLength, 0, 0, empty, ""})) +
                Labelled(notes, FormatEvent(Event{kEventFileBadFormat, 0, 0, notes, ""})) +
                Labelled(Given("picture.png"), EventLine(kEventPhoneMemoryLow, run.port)));
  const std::string port = "COM" + std::to_string(run.port) + " at N bit/s\n";
  EXPECT_EQ(WithoutDevices(run.out), Given("contact.vcf") + ": vcard VCF, 138 bytes, to " + port +
                                         Sent("contact.vcf") + Given("picture.png") +
                                         ": graphic PNG, 2902 bytes, to " + port +
                                         "1 sent, 4 failed\n");
  const std::size_t opened = run.trace.find("open COM");
  ASSERT_NE(opened, std::string::npos);
  const std::size_t second = run.trace.find("open COM", opened + 1);
  ASSERT_NE(second, std::string::npos) << run.trace;
  EXPECT_EQ(run.trace.find("open COM", second + 1), std::string::npos) << run.trace;
}

}  // namespace
}  // namespace vandrel::e2e
