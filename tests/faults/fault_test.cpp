// Each step of the detection and of the download, with each way a handset (or a wrong device)
// can misbehave there: the send ends with the right message within the time-outs, and a second
// send from the same process, once a working handset is on the port, goes through, which shows
// that the failed one left the port free.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <semaphore>
#include <set>
#include <sstream>
#include <thread>

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"
#include "tests/integration/harness.h"
#include "tests/sound/wav_builder.h"

namespace vandrel::e2e {
namespace {

// How much faster than the wall fault-cli's clock runs: the handset's answers must still come
// within a tenth of the probe's 500 ms on a loaded machine.
constexpr int kClockScale = 10;
// The longest wait for one answer: 600 polls of 100 ms.
constexpr std::uint64_t kAnswerTimeOutMs = 60'000;
// A failure that needs no time-out comes within the handset's fixed pauses and a few polls; one
// that does comes within one time-out (or, for a port where nothing ever answers "AT", within
// the proof's tries at every line speed) and those pauses.
constexpr std::uint64_t kPromptLimitMs = 20'000;
// The answer to a large object is waited for 100 ms more for every further 200 bytes.
constexpr std::uint64_t AnswerTimeOutMs(std::uintmax_t objectBytes) {
  return std::max<std::uint64_t>(kAnswerTimeOutMs, 100 * (1 + (objectBytes + 10) / 200));
}
// A port where "AT" never brings "OK" is given ten tries of one 500 ms poll, each followed by
// 100 ms; an "ERROR" answer without the end of its line adds 20 quiet polls of 100 ms to its try.
constexpr std::uint64_t kProofTriesMs = 10 * (500 + 20 * 100 + 100);
constexpr std::uint64_t kProofLimitMs = kProofTriesMs + kPromptLimitMs;
constexpr auto kReportLimit = std::chrono::seconds(200);
constexpr std::ptrdiff_t kSimultaneousSends = 6;
constexpr std::size_t kLargeObjectBytes = 300'000;
// An object that fits the write queue but not the line's buffers: held after its CONNECT, part of
// it stays queued while the handset answers.
constexpr std::size_t kHeldObjectBytes = 39'000;
// Its time on the line at 115 200 bit/s (10 bits a byte).
constexpr auto kHeldObjectAtFullSpeed =
    std::chrono::milliseconds(kHeldObjectBytes * 10'000 / 115'200);
// A sound whose ADPCM rendition (about 30 000 bytes) also fits the queue but not the buffers.
constexpr std::size_t kHeldSoundSamples = 60'000;
// Bytes of the ADPCM rendition the handset takes before it refuses the rest.
constexpr int kRefusedAfterBytes = 300;
constexpr int kAnyCmeCode = 65524;
constexpr int kUnknownCmeCode = 4242;

// kLineGone: within kLineGoneLimit of the hang-up. kLineGoneWhenRead: the line drops while the
// handset owes an answer and nothing is being written; natively the reader sees the hang-up, but
// Wine reads a pseudo-terminal whose other side has closed as a quiet line, and there only the
// answer's time-out ends the wait.
enum class Ending : std::uint8_t {
  kSuccess,
  kPrompt,
  kTimeOut,
  kProofTries,
  kLineGone,
  kLineGoneWhenRead
};

// A line that the system reports gone ends the send this soon after the handset vanished, on the
// wall clock.
constexpr auto kLineGoneLimit = std::chrono::seconds(2);
// An object larger than the write queue (1000 slots of 40 bytes) many times over, which a fast
// line is still carrying when the cable is pulled half-way.
constexpr std::size_t kHugeObjectBytes = 1'200'000;
// How often a case looks whether the handset has vanished, and the send ended.
constexpr auto kPullPoll = std::chrono::milliseconds(5);
// An interrupted run ends long before this; the signal comes this far into the object's data.
constexpr auto kInterruptLimit = std::chrono::seconds(30);
constexpr auto kIntoTheObject = std::chrono::milliseconds(500);
// A send's time besides its object's on a loaded machine: half the 10 s that a handset left in a
// data phase by a line it did not see drop would take to give up.
constexpr auto kDetectionSlack = std::chrono::seconds(5);

struct FaultCase {
  std::string name;
  std::vector<std::string> simOptions;
  Ending ending;
  std::function<std::string(int port)> message;  // the first line shown; none for a success
  std::string file = "contact.vcf";
};

// A case's name as a test name.
std::string TestName(std::string name) {
  for (char& c : name)
    if (c == '-' || c == '@') c = '_';
  return name;
}

std::function<std::string(int)> EventAt(std::uint8_t event) {
  return [event](int port) { return EventLine(event, port); };
}

std::function<std::string(int)> LogAt(int textId) {
  return [textId](int port) { return LogLine(port, textId); };
}

// What the user is told when `step` misbehaves and the misbehaviour is not a time-out.
std::function<std::string(int)> Refusal(const std::string& step, std::uint8_t downloadEvent) {
  if (step == "at") return EventAt(kEventConnectFailed);
  if (step == "ati3") return LogAt(TXT_NO_CABLE_NO_IRDA);
  if (step == "query") return LogAt(TXT_NO_TRANSFER_CAPABILITY);
  if (step == "cgsn") return LogAt(TXT_IDENTIFY_FAILED);
  // a handset without a SIM card refuses the check without a code of its own
  if (step == "k3" && downloadEvent == kEventUnexpectedResponse) downloadEvent = kEventNoSim;
  return EventAt(downloadEvent);
}

std::vector<FaultCase> Cases() {
  const std::vector<std::string> detection{"at", "ati3", "query", "cgsn"};
  const std::vector<std::string> download{"cmee",  "k3",         "download-query", "open",
                                          "title", "title-data", "object",         "object-data"};
  std::vector<FaultCase> cases;
  auto add = [&](const std::string& step, const std::string& what, std::vector<std::string> sim,
                 Ending ending, std::uint8_t downloadEvent) {
    const bool detecting = std::find(detection.begin(), detection.end(), step) != detection.end();
    if (step == "at") ending = Ending::kProofTries;
    // the identification reads what came within a second, and tries five times
    if (detecting && step != "at") ending = Ending::kPrompt;
    cases.push_back(
        {TestName(step + "_" + what), std::move(sim), ending, Refusal(step, downloadEvent)});
  };
  for (const std::vector<std::string>* steps : {&detection, &download}) {
    for (const std::string& step : *steps) {
      // the download's query is the handset's second
      const std::string sim = step == "download-query" ? "query@2" : step;
      add(step, "silence", {"--stall-at", sim}, Ending::kTimeOut, kEventPortTimeout);
      add(step, "garbage", {"--garbage=" + sim}, Ending::kTimeOut, kEventUnexpectedResponse);
      add(step, "error", {"--error-at", sim}, Ending::kPrompt, kEventUnexpectedResponse);
      add(step, "cme", {"--error-at", sim + "=" + std::to_string(kAnyCmeCode)}, Ending::kPrompt,
          kEventFormatUnsupported);
      // an overlong answer to the one-shot "AT" probe ends as its bytes happen to be cut into
      // reads: whether the tail that holds the "OK" is dropped with the poll that crossed 512
      // bytes or left for the next try; no outcome of it can be asserted
      if (step != "at") {
        add(step, "long_answer", {"--long-answer=" + sim}, Ending::kPrompt,
            kEventUnexpectedResponse);
      }
      add(step, "hold", {"--hold-at", sim}, Ending::kTimeOut, kEventPortTimeout);
      // the system reports the line gone: the wait ends then, not at the answer's time-out
      add(step, "hangup", {"--hangup-at", sim}, Ending::kLineGoneWhenRead, kEventPortReadFailed);
    }
  }
  const auto other = [&cases](std::string name, std::vector<std::string> sim, Ending ending,
                              std::function<std::string(int)> message,
                              std::string file = "contact.vcf") {
    cases.push_back({std::move(name), std::move(sim), ending, std::move(message), std::move(file)});
  };
  // the closing command's answer is not waited for: the object is already in
  for (const std::string_view option : {"--stall-at", "--hold-at", "--hangup-at", "--error-at"})
    other(TestName("close" + std::string(option.substr(1))), {std::string(option), "close"},
          Ending::kSuccess, nullptr);
  // a handset's verdict on an object it did not take reaches the user in words of its own
  for (const auto& [code, message] : std::vector<std::pair<int, std::string>>{
           {65523, "Error 0x03 : Insufficient memory in cell phone\n"},
           {65533, "Error 0x1B : The cell phone failed writing in Flash memory\n"},
           {kUnknownCmeCode, "Error 0x15 : Unexpected cell phone's reponse\n"}}) {
    other("object_verdict_" + std::to_string(code),
          {"--error-at", "object-data=" + std::to_string(code)}, Ending::kPrompt,
          [message](int) { return message; });
  }
  // answers that come a byte at a time are still whole answers
  other("split_answers", {"--split", "1", "--split-pause", "1"}, Ending::kSuccess, nullptr);
  // a handset that stops taking a large object holds the line: the writes back up and stall
  other("large_object_held", {"--hold-at", "object-data"}, Ending::kPrompt,
        EventAt(kEventPortWriteFailed), "large.gif");
  // the cable pulled out in the middle of the object, while the queue is full and while it holds
  // all that is left: whichever of the reader and the writer meets the dead line first says so
  other("large_object_unplugged", {"--hangup-after", "100000"}, Ending::kLineGone,
        EventAt(kEventPortWriteFailed), "large.gif");
  other("huge_object_unplugged", {"--hangup-after", std::to_string(kHugeObjectBytes / 2)},
        Ending::kLineGone, EventAt(kEventPortWriteFailed), "huge.gif");
  // a handset that answers while it holds the line: the answer is read although part of the
  // object is still waiting to go out; an "OK" for bytes that never left is a stalled write
  other("object_data_answered_while_held_cme",
        {"--hold-at", "object-data", "--held-answer", "65525"}, Ending::kPrompt,
        EventAt(kEventObjectUnsupported), "held.gif");
  other("title_data_answered_while_held_cme", {"--hold-at", "title-data", "--held-answer", "65525"},
        Ending::kPrompt, EventAt(kEventObjectUnsupported));
  other("object_data_answered_while_held_ok", {"--hold-at", "object-data", "--held-answer", "OK"},
        Ending::kPrompt, EventAt(kEventPortWriteFailed), "held.gif");
  // the title's few bytes all leave the port, so its "OK" stands; the object command is then
  // never read
  other("title_data_answered_while_held_ok", {"--hold-at", "title-data", "--held-answer", "OK"},
        Ending::kTimeOut, EventAt(kEventPortTimeout));
  // a device that answers ERROR to everything is given up after ten tries, each ended by its
  // error's line
  other("error_to_everything", {"--error-at", "all"}, Ending::kProofTries,
        EventAt(kEventConnectFailed));
  // a refusal of the ADPCM rendition while most of it is still queued: the PCM retry's commands
  // go out without the rest of it, and the PCM sound is stored
  other("adpcm_refused_midway",
        {"--refuse-adpcm-after", std::to_string(kRefusedAfterBytes), "--imei",
         std::to_string(350000000000000 + std::random_device{}() % 100000000)},
        Ending::kSuccess, nullptr, "held.wav");
  return cases;
}

// The pauses the conversation made, as its trace lists them ("pause 100 ms x 600").
std::uint64_t TracedPausesMs(const std::string& trace) {
  std::uint64_t total = 0;
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("  pause ");
    if (at == std::string::npos) continue;
    std::istringstream words(line.substr(at + 8));
    std::uint64_t ms = 0;
    std::uint64_t times = 1;
    std::string unit, by;
    words >> ms >> unit >> by >> times;
    total += ms * (by == "x" ? times : 1);
  }
  return total;
}

// One line of fault-cli's report.
struct Ended {
  int status = -1;
  std::uint64_t elapsedMs = 0;
};

std::vector<Ended> ReadReport(const std::filesystem::path& report) {
  std::vector<Ended> lines;
  std::ifstream file(report);
  for (Ended line; file >> line.status >> line.elapsedMs;) lines.push_back(line);
  return lines;
}

// What a fault case left behind: the failing send, then the send to a working handset.
struct FaultOutcome {
  Ended first;
  CliRun failed;
  Ended second;
  CliRun next;
  bool rerun = false;  // Wine ended the first start before it ran; this is the second
  // From the moment the handset was seen gone to the failed send's end, on the wall clock.
  std::optional<std::chrono::milliseconds> afterPull;
};

const std::filesystem::path& Scratch() {
  static TempFolder folder;
  static const bool made = [] {
    std::string large = "GIF89a";
    std::string held = large;
    for (std::size_t i = 6; i < kLargeObjectBytes; ++i) large += static_cast<char>(i * 131);
    for (std::size_t i = 6; i < kHeldObjectBytes; ++i) held += static_cast<char>(i * 7);
    std::string huge = large;
    while (huge.size() < kHugeObjectBytes) huge += large.substr(6, kHugeObjectBytes - huge.size());
    folder.Write("large.gif", large);
    folder.Write("huge.gif", huge);
    folder.Write("held.gif", held);
    // an 8 kHz mono 16-bit sound, which the converter renders as handset ADPCM
    folder.Write("held.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(kHeldSoundSamples)));
    return true;
  }();
  (void)made;
  return folder.path();
}

// A sample, or a file the suite made.
std::filesystem::path ObjectPath(const std::string& name) {
  const std::filesystem::path sample = Sample(name);
  return std::filesystem::exists(sample) ? sample : Scratch() / name;
}

FaultOutcome RunCaseOnce(const FaultCase& fault) {
  Session session(fault.simOptions);
  const std::filesystem::path report = session.folder() / "report";
  const std::filesystem::path gate = session.folder() / "gate";
  const std::filesystem::path file = ObjectPath(fault.file);
  const Target& target = Target::Get();
  std::vector<std::string> argv = target.Launch(EnvOr("VANDREL_E2E_FAULT_CLI", FAULT_CLI_PATH));
  argv.insert(argv.end(),
              {std::to_string(kClockScale), target.FilePath(report), target.FilePath(gate)});
  for (std::string& argument :
       session.Arguments("send", {"-q", "--lang", "en", target.FilePath(file)}, true))
    argv.push_back(std::move(argument));

  std::future<int> running =
      std::async(std::launch::async, [&session, &argv] { return session.Start(argv); });
  FaultOutcome outcome;
  const auto limit = std::chrono::steady_clock::now() + kReportLimit;
  // a handset that drops the line ends its process; the send may end before that is seen
  std::optional<std::chrono::steady_clock::time_point> pulled;
  while (ReadReport(report).empty() && running.wait_for(kPullPoll) != std::future_status::ready &&
         std::chrono::steady_clock::now() < limit) {
    if (!pulled && session.handset().AwaitExit(std::chrono::milliseconds(0)) >= 0)
      pulled = std::chrono::steady_clock::now();
  }
  const auto ended = std::chrono::steady_clock::now();
  if (pulled ||
      (fault.ending >= Ending::kLineGone && session.handset().AwaitExit(kLineGoneLimit) >= 0)) {
    outcome.afterPull = std::chrono::duration_cast<std::chrono::milliseconds>(
        ended - std::min(pulled.value_or(ended), ended));
  }
  outcome.failed = session.Collect(-1);
  if (const std::vector<Ended> lines = ReadReport(report); !lines.empty()) outcome.first = lines[0];
  // a working handset is plugged in where the misbehaving one was: the same handset, as far as
  // its IMEI goes, so that what the failed send recorded of it applies
  std::vector<std::string> working;
  if (const auto imei = std::find(fault.simOptions.begin(), fault.simOptions.end(), "--imei");
      imei != fault.simOptions.end()) {
    working.assign(imei, imei + 2);
  }
  session.ReplaceHandset(working);
  std::ofstream(gate).flush();
  outcome.next = session.Collect(running.get());
  if (const std::vector<Ended> lines = ReadReport(report); lines.size() > 1) {
    outcome.second = lines[1];
  }
  outcome.next.out =
      outcome.next.out.substr(std::min(outcome.failed.out.size(), outcome.next.out.size()));
  outcome.next.err =
      outcome.next.err.substr(std::min(outcome.failed.err.size(), outcome.next.err.size()));
  return outcome;
}

// Now and then, under load, Wine ends a program before it has run at all: status 1, no output
// and not even the trace's first line. Such a run says nothing of the program; it is made again.
// The test says so in its result.
FaultOutcome RunCase(const FaultCase& fault) {
  FaultOutcome outcome = RunCaseOnce(fault);
  if (Target::Get().wine() && outcome.next.trace.empty()) {
    outcome = RunCaseOnce(fault);
    outcome.rerun = true;
  }
  return outcome;
}

std::map<std::string, std::shared_future<FaultOutcome>>& Outcomes() {
  static std::map<std::string, std::shared_future<FaultOutcome>> outcomes;
  return outcomes;
}

// Starts every case before the first test, a few at a time.
class StartCases : public testing::Environment {
 public:
  void SetUp() override {
    const std::set<std::string> chosen = ChosenCases();
    for (const FaultCase& fault : Cases()) {
      if (!chosen.contains(fault.name)) continue;
      Outcomes()[fault.name] = std::async(std::launch::async, [fault] {
                                 Slots().acquire();
                                 FaultOutcome outcome = RunCase(fault);
                                 Slots().release();
                                 return outcome;
                               }).share();
    }
  }

 private:
  // The cases the test filter left, by name.
  static std::set<std::string> ChosenCases() {
    std::set<std::string> names;
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
      const testing::TestSuite& suite = *unit.GetTestSuite(i);
      for (int j = 0; j < suite.total_test_count(); ++j) {
        const std::string name = suite.GetTestInfo(j)->name();
        if (suite.GetTestInfo(j)->should_run()) names.insert(name.substr(name.find('/') + 1));
      }
    }
    return names;
  }

  static std::counting_semaphore<>& Slots() {
    static std::counting_semaphore<> slots(kSimultaneousSends);
    return slots;
  }
};

[[maybe_unused]] testing::Environment* const startCases =
    testing::AddGlobalTestEnvironment(new StartCases);

void PrintTo(const FaultCase& fault, std::ostream* out) {
  *out << fault.name;
}

class Fault : public testing::TestWithParam<FaultCase> {};

TEST_P(Fault, EndsWithItsMessageInTimeAndLeavesThePortFree) {
  const FaultCase& fault = GetParam();
  const FaultOutcome& outcome = Outcomes().at(fault.name).get();
  const CliRun& run = outcome.failed;
  const bool quietHangUp = fault.ending == Ending::kLineGoneWhenRead && Target::Get().wine();
  const Ending ending = quietHangUp                                 ? Ending::kTimeOut
                        : fault.ending == Ending::kLineGoneWhenRead ? Ending::kLineGone
                                                                    : fault.ending;
  const auto message = quietHangUp ? EventAt(kEventPortTimeout) : fault.message;
  RecordProperty("elapsed_ms", std::to_string(outcome.first.elapsedMs));
  RecordProperty("wine_start_rerun", outcome.rerun ? "yes" : "no");
  if (outcome.rerun)
    std::printf("[ RERUN    ] %s: Wine ended fault-cli before it ran\n", fault.name.c_str());
  // sent with --quiet: stdout stays empty, stderr holds the failures alone
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(outcome.next.out, "");
  if (ending == Ending::kSuccess) {
    EXPECT_EQ(outcome.first.status, 0) << run.err;
    ASSERT_EQ(run.stored.size(), 1u);
    EXPECT_EQ(run.stored.back().bytes, ReadWhole(ObjectPath(fault.file)));
  } else {
    EXPECT_EQ(outcome.first.status, 1) << "fault-cli ended with " << outcome.next.status << "\n"
                                       << run.err << outcome.next.err << run.trace;
    EXPECT_TRUE(run.stored.empty());
    ASSERT_NE(run.port, 0) << run.trace;
    const std::string label = Target::Get().FilePath(ObjectPath(fault.file));
    const std::string expected = Labelled(label, message(run.port));
    const std::string unread = Labelled(label, EventLine(kEventPortReadFailed, run.port));
    if (ending != Ending::kLineGone || run.err.substr(0, unread.size()) != unread) {
      EXPECT_EQ(run.err.substr(0, expected.size()), expected) << run.err << run.trace;
    }
    if (ending == Ending::kLineGone) {
      ASSERT_TRUE(outcome.afterPull) << "the handset never dropped the line\n" << run.trace;
      RecordProperty("after_pull_ms", std::to_string(outcome.afterPull->count()));
      std::printf(
          "[ PULLED   ] %s: ended %lld ms after the line was dropped (the send: %llu ms "
          "on its clock)\n",
          fault.name.c_str(), static_cast<long long>(outcome.afterPull->count()),
          static_cast<unsigned long long>(outcome.first.elapsedMs));
      EXPECT_LE(*outcome.afterPull, kLineGoneLimit) << run.trace;
    }
    const std::uint64_t limit =
        ending == Ending::kPrompt || ending == Ending::kLineGone ? kPromptLimitMs
        : ending == Ending::kTimeOut
            ? AnswerTimeOutMs(std::filesystem::file_size(ObjectPath(fault.file))) + kPromptLimitMs
            : kProofLimitMs;
    // the waits it chose are those specified; nothing else held it up for long
    const std::uint64_t paused = TracedPausesMs(run.trace);
    EXPECT_LE(paused, limit);
    if (ending == Ending::kTimeOut) {
      EXPECT_GE(paused, kAnswerTimeOutMs);
    }
    // a pulled line's send lasts as long as the object took to reach the pull, then ends at once
    if (ending != Ending::kLineGone) {
      EXPECT_LE(outcome.first.elapsedMs, 2 * limit);
    }
  }
  EXPECT_EQ(outcome.second.status, 0) << outcome.next.err << outcome.next.trace;
  ASSERT_FALSE(outcome.next.stored.empty());
  EXPECT_EQ(outcome.next.stored.back().bytes, ReadWhole(ObjectPath(fault.file)));
}

INSTANTIATE_TEST_SUITE_P(EachStep, Fault, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           return info.param.name;
                         });

// The user interrupts a send in the middle of its object: the run says so, prints its summary and
// ends with 130 soon after; its port closed, the line dropped, and the handset, which gave the
// object up then, takes the next send from its first command, in the line's time.
TEST(Interrupt, EndsTheSendAndLeavesTheHandsetUsable) {
  if (Target::Get().wine()) GTEST_SKIP() << "Wine gives no console's Ctrl-C to a program it runs";
  Session session({"--baud", "115200"});
  const std::filesystem::path file = ObjectPath("held.gif");
  std::vector<std::string> argv = Target::Get().CliCommand();
  for (std::string& argument : session.Arguments("send", {"--lang", "en", file.string()}, true))
    argv.push_back(std::move(argument));
  std::atomic<int> pid{0};
  std::future<int> running =
      std::async(std::launch::async, [&] { return session.Start(argv, &pid); });
  const auto limit = std::chrono::steady_clock::now() + kInterruptLimit;
  // once the object is under way, a moment into its data
  while (ReadWhole(session.folder() / "trace.txt").find("AT+KDOBJ=2,1,0,") == std::string::npos &&
         std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(kPullPoll);
  std::this_thread::sleep_for(kIntoTheObject);
  ASSERT_NE(pid.load(), 0);
  const auto interrupted = std::chrono::steady_clock::now();
  kill(pid.load(), SIGINT);
  ASSERT_EQ(running.wait_for(kInterruptLimit), std::future_status::ready);
  const auto ended = std::chrono::steady_clock::now() - interrupted;
  const CliRun stopped = session.Collect(running.get());
  EXPECT_EQ(stopped.status, 130) << stopped.err << stopped.trace;
  EXPECT_EQ(stopped.err, file.string() + ": Interrupted\n");
  EXPECT_NE(stopped.out.find("0 sent, 1 failed"), std::string::npos) << stopped.out;
  EXPECT_TRUE(stopped.stored.empty());
  EXPECT_LE(ended, kLineGoneLimit);
  // the handset notices the line drop as it next looks at the line
  const std::filesystem::path simLog = session.folder() / "handset-sim.log";
  const auto noticeLimit = std::chrono::steady_clock::now() + kLineGoneLimit;
  while (ReadWhole(simLog).find("data phase abandoned") == std::string::npos &&
         std::chrono::steady_clock::now() < noticeLimit)
    std::this_thread::sleep_for(kPullPoll);
  EXPECT_NE(ReadWhole(simLog).find("data phase abandoned"), std::string::npos) << ReadWhole(simLog);

  const auto start = std::chrono::steady_clock::now();
  const CliRun next = session.Run("send", {"-q", file.string()});
  EXPECT_EQ(next.status, 0) << next.err << next.trace;
  ASSERT_EQ(next.stored.size(), 1u);
  EXPECT_EQ(next.stored.back().bytes, ReadWhole(file));
  // the line's time for the object and the detection, and no data phase left over to wait out
  EXPECT_LE(std::chrono::steady_clock::now() - start, kHeldObjectAtFullSpeed + kDetectionSlack);
}

}  // namespace
}  // namespace vandrel::e2e
