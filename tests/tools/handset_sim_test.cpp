// End to end: the simulator runs as its own process and the tests talk AT to its pseudo-terminal.
// What a client meets when the simulator misbehaves at a step (an error code, garbage, an overlong
// answer, a stall, a hold, a hang-up, a held line answered, an ADPCM sound refused midway) is
// checked by the fault suite through vandrel-cli, and a handset lacking something the send needs
// by the end-to-end sends; here are the options themselves.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/integration/harness.h"
#include "tools/handset-sim/command_line.h"
#include "tools/handset-sim/sha256.h"

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;
using testing::EndsWith;

constexpr auto kAnswerTimeout = 3s;
constexpr auto kQuietTime = 700ms;
constexpr auto kExitTimeout = 5s;

// Everything a handset may end an answer with.
bool HasFinalAnswer(const std::string& text) {
  return text.ends_with("\r\nOK\r\n") || text.ends_with("ERROR\r\n") ||
         text.ends_with("\r\nCONNECT\r\n") || text.find("+CME ERROR: 100,") != std::string::npos;
}

using TempFolder = vandrel::ScratchFolder;
using vandrel::ReadWhole;

// One simulator process and the client's end of its line.
class SimulatedHandset : public vandrel::e2e::SimulatedHandset {
 public:
  explicit SimulatedHandset(const std::vector<std::string>& arguments)
      : vandrel::e2e::SimulatedHandset(arguments),
        port_(open(path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
  ~SimulatedHandset() {
    if (port_ >= 0) close(port_);
  }

  bool ready() const { return port_ >= 0; }

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = write(port_, bytes.data(), bytes.size());
      if (written > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(written));
      } else {
        pollfd waiting{port_, POLLOUT, 0};
        if (poll(&waiting, 1, 100) < 0) return;
      }
    }
  }

  // Collects what arrives until `done` holds or `limit` passes; counts the reads it took.
  template <typename Done>
  std::string Collect(Done done, Clock::duration limit, int* reads = nullptr) {
    std::string text;
    const auto deadline = Clock::now() + limit;
    while (!done(text) && Clock::now() < deadline) {
      pollfd waiting{port_, POLLIN, 0};
      if (poll(&waiting, 1, 10) <= 0) continue;
      char buffer[1024];
      const ssize_t count = read(port_, buffer, sizeof buffer);
      if (count <= 0) {
        hungUp_ = true;
        break;
      }
      text.append(buffer, static_cast<std::size_t>(count));
      if (reads != nullptr) ++*reads;
    }
    return text;
  }

  // For answers that may never come, `limit` is only a moment.
  std::string Exchange(std::string_view command, Clock::duration limit = kAnswerTimeout) {
    Write(std::string(command) + "\r");
    return Collect(HasFinalAnswer, limit);
  }
  bool hungUp() const { return hungUp_; }

  // True when a write takes nothing and the port does not even report room for one.
  bool WriteBlocked() {
    pollfd waiting{port_, POLLOUT, 0};
    return write(port_, "x", 1) < 0 && errno == EAGAIN && poll(&waiting, 1, 0) == 0;
  }
  bool WritableWithin(Clock::duration limit) {
    pollfd waiting{port_, POLLOUT, 0};
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(limit);
    return poll(&waiting, 1, static_cast<int>(ms.count())) == 1;
  }

  // Takes exclusive use of the port, as a serial driver does, closes it and opens it again.
  void Reconnect() {
    ioctl(port_, TIOCEXCL);
    close(port_);
    port_ = -1;
    // the simulator notices the closed port within one of its 100 ms polls
    std::this_thread::sleep_for(300ms);
    port_ = open(path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  }

 private:
  int port_ = -1;
  bool hungUp_ = false;
};

// The client's download sequence up to the object command; returns the answer to that command.
std::string OpenDownload(SimulatedHandset& handset, std::string_view title, int format,
                         std::size_t size) {
  for (const char* command : {"AT+CMEE=1", "AT&K3", "AT+KDOBJ?", "AT+KDOBJ=1,1"}) {
    EXPECT_THAT(handset.Exchange(command), EndsWith("\r\nOK\r\n")) << command;
  }
  if (!title.empty()) {
    EXPECT_THAT(handset.Exchange("AT+KDOBJ=2,1,3,0," + std::to_string(title.size())),
                EndsWith("\r\nCONNECT\r\n"));
    handset.Write(title);
    EXPECT_EQ(handset.Collect(HasFinalAnswer, kAnswerTimeout), "\r\nOK\r\n");
  }
  return handset.Exchange("AT+KDOBJ=2,1,0," + std::to_string(format) + "," + std::to_string(size));
}

// Sends the object after a successful object command; returns the final answer.
std::string SendObject(SimulatedHandset& handset, std::string_view title, int format,
                       std::string_view object) {
  EXPECT_THAT(OpenDownload(handset, title, format, object.size()), EndsWith("\r\nCONNECT\r\n"));
  handset.Write(object);
  return handset.Collect(HasFinalAnswer, kAnswerTimeout);
}

std::string Digest(std::string_view bytes) {
  vandrel::sim::Sha256 hash;
  hash.Update(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  return vandrel::sim::Sha256::ToHex(hash.Finish());
}

TEST(HandsetSim, AnswersEachCommandAsAHandsetDoes) {
  SimulatedHandset handset({"--imei", "490154203237518", "--free-memory", "35000"});
  ASSERT_TRUE(handset.ready()) << handset.path();

  const std::pair<const char*, const char*> exchanges[] = {
      {"AT", "AT\r\r\nOK\r\n"},
      {"ATI3", "ATI3\r\r\nKESTA Simulated Handset\r\n\r\nOK\r\n"},
      {"AT+KDOBJ?", "AT+KDOBJ?\r\r\n+KDOBJ: 35000\r\n\r\nOK\r\n"},
      {"AT+CGSN", "AT+CGSN\r\r\n490154203237518\r\n\r\nOK\r\n"},
      {"AT+CMEE=1", "AT+CMEE=1\r\r\nOK\r\n"},
      {"AT&K3", "AT&K3\r\r\nOK\r\n"},
      {"AT+KDOBJ=2,1,0,102,3", "AT+KDOBJ=2,1,0,102,3\r\r\nERROR\r\n"},  // no download open
      {"ATD123", "ATD123\r\r\nERROR\r\n"},
      {"ATE0", "ATE0\r\r\nOK\r\n"},
      {"AT", "\r\nOK\r\n"},
  };
  for (const auto& [command, answer] : exchanges) {
    EXPECT_EQ(handset.Exchange(command), answer) << command;
  }
}

// A handset that lacks something, or a device that is no handset.
TEST(HandsetSim, OptionsChangeTheAnswersTheyName) {
  const struct {
    std::vector<std::string> options;
    const char* command;
    const char* answer;
  } rows[] = {
      {{"--silent"}, "AT", ""},
      {{"--no-echo"}, "AT", "\r\nOK\r\n"},
      {{"--no-sim"}, "AT&K3", "AT&K3\r\r\nERROR\r\n"},
      {{"--plain-modem"}, "ATI3", "ATI3\r\r\nData/Fax Modem 56000\r\n\r\nOK\r\n"},
      {{"--no-object-capability"}, "AT+KDOBJ?", "AT+KDOBJ?\r\r\nERROR\r\n"},
      {{"--no-imei"}, "AT+CGSN", "AT+CGSN\r\r\nERROR\r\n"},
  };
  for (const auto& row : rows) {
    SimulatedHandset handset(row.options);
    ASSERT_TRUE(handset.ready());
    EXPECT_EQ(handset.Exchange(row.command, kQuietTime), row.answer) << row.options[0];
  }
}

TEST(CommandLineReader, HuntsForTheAttentionAndCountsWhatItThrowsAway) {
  vandrel::sim::CommandLineReader reader;
  std::vector<std::string> lines;
  const std::string bytes =
      "\r\nx\x00"s + "A\rAa\xff\rat+cmee=1\r\nAT" + std::string(300, 'z') + "\r";
  for (const char c : bytes) {
    if (auto line = reader.Take(c)) lines.push_back(line->overflow ? "overflow" : line->text);
  }
  EXPECT_THAT(lines, testing::ElementsAre("at+cmee=1", "overflow"));
  // "x", NUL, "A", "A", "a", 0xFF: the line ends between commands are no stray bytes.
  EXPECT_EQ(reader.TakeStrayCount(), 6u);
  EXPECT_EQ(reader.TakeStrayCount(), 0u);
}

// Only the named arrival misbehaves, from then on or, for a late answer, that arrival alone and
// the whole of it: echo and answer.
TEST(HandsetSim, MisbehavesFromTheChosenArrivalOfAStep) {
  SimulatedHandset handset(
      {"--error-at", "query@2=65523", "--stall-at", "cgsn@2", "--late-answer", "ati3@2=400"});
  ASSERT_TRUE(handset.ready());
  const std::string answer = "ATI3\r\r\nKESTA Simulated Handset\r\n\r\nOK\r\n";
  for (const bool late : {false, true, false}) {
    const auto start = Clock::now();
    EXPECT_EQ(handset.Exchange("ATI3"), answer);
    const auto took = Clock::now() - start;
    EXPECT_EQ(took >= 400ms, late) << std::chrono::duration_cast<std::chrono::milliseconds>(took);
  }
  const std::string refused = "AT+KDOBJ?\r\r\n+CME ERROR: 100,65523\r\n";
  EXPECT_EQ(handset.Exchange("AT+KDOBJ?"), "AT+KDOBJ?\r\r\n+KDOBJ: 4000000\r\n\r\nOK\r\n");
  EXPECT_EQ(handset.Exchange("AT+CGSN"), "AT+CGSN\r\r\n353490071234568\r\n\r\nOK\r\n");
  EXPECT_EQ(handset.Exchange("AT+KDOBJ?"), refused);
  EXPECT_EQ(handset.Exchange("AT+KDOBJ?"), refused);
  EXPECT_EQ(handset.Exchange("AT+CGSN", kQuietTime), "");
}

TEST(HandsetSim, RefusesAStepOrArrivalItCannotRead) {
  for (const auto& [option, bad] : {std::pair{"--stall-at", "query@0"},
                                    {"--stall-at", "query@x"},
                                    {"--stall-at", "query@"},
                                    {"--stall-at", "quer@2"},
                                    {"--late-answer", "ati3"},
                                    {"--late-answer", "ati3="},
                                    {"--late-answer", "ati3=x"},
                                    {"--late-answer", "nope=10"}}) {
    SimulatedHandset refusing({option, bad});
    EXPECT_FALSE(refusing.ready()) << bad;
    EXPECT_EQ(refusing.AwaitExit(kExitTimeout), EXIT_FAILURE) << bad;
  }
}

TEST(HandsetSim, StoresEachObjectItTakesWithItsManifestLine) {
  TempFolder store;
  // Object bytes that look like commands and answer words are data all the same.
  std::string binary = "AT\rOK\r\nERROR\r\n";
  for (int i = 0; i < 1000; ++i) binary += static_cast<char>(i * 7);
  SimulatedHandset handset(
      {"--store", store.path().string(), "--free-memory", std::to_string(binary.size())});
  ASSERT_TRUE(handset.ready());

  EXPECT_EQ(SendObject(handset, "abcde", 102, "abc"), "\r\nOK\r\n");
  // what the free memory holds is taken, one byte more is refused
  EXPECT_THAT(OpenDownload(handset, "", 1, binary.size() + 1),
              EndsWith("\r\n+CME ERROR: 100,65523\r\n"));
  EXPECT_EQ(SendObject(handset, "\xE9t\xE9", 1, binary), "\r\nOK\r\n");
  EXPECT_EQ(handset.Exchange("AT+KDOBJ=1,0"), "AT+KDOBJ=1,0\r\r\nOK\r\n");

  EXPECT_EQ(ReadWhole(store.path() / "object-0001.bin"), "abc");
  EXPECT_EQ(ReadWhole(store.path() / "object-0002.bin"), binary);
  EXPECT_EQ(ReadWhole(store.path() / "manifest.tsv"),
            "102\tabcde\t3\tba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"
            "1\t\xC3\xA9t\xC3\xA9\t" +
                std::to_string(binary.size()) + "\t" + Digest(binary) + "\n");
}

// The link to the port lasts as long as the simulator.
TEST(HandsetSim, HoldsEveryWriteOfTheClientWithCtsLowOnALinkedPort) {
  TempFolder folder;
  const std::filesystem::path link = folder.path() / "com5";
  SimulatedHandset handset({"--cts-low", "--link", link.string()});
  ASSERT_TRUE(handset.ready());
  EXPECT_EQ(std::filesystem::read_symlink(link), handset.path());
  EXPECT_TRUE(handset.WriteBlocked());
  EXPECT_FALSE(handset.WritableWithin(300ms));
  const auto stopping = Clock::now();
  EXPECT_EQ(handset.Stop(), EXIT_SUCCESS);
  EXPECT_LT(Clock::now() - stopping, 1s);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

// A +CME error after the title's bytes, or after the object's, which is then not kept.
TEST(HandsetSim, AnswersCmeErrorsAfterTheDataPhases) {
  const std::string refused = "\r\n+CME ERROR: 100,65533\r\n";
  for (const bool title : {true, false}) {
    TempFolder store;
    SimulatedHandset handset(
        {title ? "--title-error" : "--object-error", "65533", "--store", store.path().string()});
    ASSERT_TRUE(handset.ready());
    for (const char* command : {"AT+KDOBJ=1,1", "AT+KDOBJ=2,1,3,0,4"}) handset.Exchange(command);
    handset.Write("name");
    EXPECT_EQ(handset.Collect(HasFinalAnswer, kAnswerTimeout), title ? refused : "\r\nOK\r\n");
    EXPECT_THAT(handset.Exchange("AT+KDOBJ=2,1,0,220,5"), EndsWith("CONNECT\r\n"));
    handset.Write("vcard");
    EXPECT_EQ(handset.Collect(HasFinalAnswer, kAnswerTimeout), title ? "\r\nOK\r\n" : refused);
    EXPECT_EQ(std::filesystem::exists(store.path() / "object-0001.bin"), title);
    EXPECT_FALSE(std::filesystem::exists(store.path() / ".incoming"));
  }
}

TEST(HandsetSim, EndsAfterOneDownloadOrAHangUp) {
  TempFolder store;
  SimulatedHandset once({"--once", "--store", store.path().string()});
  ASSERT_TRUE(once.ready());
  EXPECT_EQ(SendObject(once, "", 103, "png"), "\r\nOK\r\n");
  EXPECT_EQ(once.AwaitExit(500ms), -1) << "ended before the closing command";
  once.Exchange("AT+KDOBJ=1,0");
  EXPECT_EQ(once.AwaitExit(kExitTimeout), EXIT_SUCCESS);

  // All of the object arrives, and the line drops instead of the final answer.
  const std::filesystem::path link = store.path() / "com5";
  SimulatedHandset dropping(
      {"--hangup-at", "object-data", "--link", link.string(), "--store", store.path().string()});
  ASSERT_TRUE(dropping.ready());
  EXPECT_EQ(SendObject(dropping, "t", 220, "vcard"), "");
  EXPECT_TRUE(dropping.hungUp());
  EXPECT_EQ(dropping.AwaitExit(kExitTimeout), EXIT_SUCCESS);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWhole(store.path() / "manifest.tsv"), "103\t\t3\t" + Digest("png") + "\n");
  EXPECT_FALSE(std::filesystem::exists(store.path() / ".incoming"));
}

TEST(HandsetSim, PacesItsReadingAndSplitsItsAnswers) {
  // 9600 bit/s take 960 bytes a second: 1200 bytes need 1.25 s.
  SimulatedHandset paced({"--baud", "9600"});
  ASSERT_TRUE(paced.ready());
  EXPECT_THAT(OpenDownload(paced, "", 102, 1200), EndsWith("CONNECT\r\n"));
  const auto start = Clock::now();
  paced.Write(std::string(1200, 'x'));
  EXPECT_EQ(paced.Collect(HasFinalAnswer, kAnswerTimeout), "\r\nOK\r\n");
  EXPECT_GE(Clock::now() - start, 1100ms);

  SimulatedHandset splitting({"--split", "4", "--split-pause", "60"});
  ASSERT_TRUE(splitting.ready());
  int reads = 0;
  splitting.Write("ATI3\r");
  EXPECT_EQ(splitting.Collect(HasFinalAnswer, kAnswerTimeout, &reads),
            "ATI3\r\r\nKESTA Simulated Handset\r\n\r\nOK\r\n");
  EXPECT_GE(reads, 5);
}

// Exclusive use does not hold back root, so the check opens the port as another user then;
// nothing when this process cannot become another user.
std::optional<bool> OpensForAnyUser(const std::string& path) {
  if (geteuid() != 0) {
    const int port = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port >= 0) close(port);
    return port >= 0;
  }
  constexpr uid_t kNobody = 65534;
  constexpr int kNoOtherUser = 2;
  chmod(path.c_str(), 0666);
  const pid_t child = fork();
  if (child == 0) {
    if (setuid(kNobody) != 0) _exit(kNoOtherUser);
    _exit(open(path.c_str(), O_RDWR | O_NOCTTY) >= 0 ? EXIT_SUCCESS : EXIT_FAILURE);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == kNoOtherUser) return std::nullopt;
  return WIFEXITED(status) && WEXITSTATUS(status) == EXIT_SUCCESS;
}

TEST(HandsetSim, ServesTheNextClientAfterOneClosedThePort) {
  SimulatedHandset handset({});
  ASSERT_TRUE(handset.ready());
  EXPECT_EQ(handset.Exchange("AT"), "AT\r\r\nOK\r\n");
  handset.Reconnect();
  const std::optional<bool> opened = OpensForAnyUser(handset.path());
  if (!opened) GTEST_SKIP() << "root here cannot become another user (setuid refused)";
  EXPECT_TRUE(*opened);
  EXPECT_EQ(handset.Exchange("AT"), "AT\r\r\nOK\r\n");
}

// A client that closes the port in the middle of an object has gone, as on a line that dropped:
// the object is given up with what the line still held of it, and even on a slow line the next
// client is answered from its first command at once; with --keep-data-on-close that command is
// taken as the rest of the object.
TEST(HandsetSim, GivesUpTheObjectOfAClientThatClosedThePort) {
  for (const bool keep : {false, true}) {
    std::vector<std::string> options{"--baud=9600"};
    if (keep) options.emplace_back("--keep-data-on-close");
    SimulatedHandset handset(options);
    ASSERT_TRUE(handset.ready());
    EXPECT_THAT(OpenDownload(handset, "", 1, 10000), EndsWith("\r\nCONNECT\r\n"));
    // four seconds of the object at 9600 bit/s, not yet read when the port closes
    handset.Write(std::string(4000, 'x'));
    handset.Reconnect();
    EXPECT_EQ(handset.Exchange("AT", kQuietTime), keep ? "" : "AT\r\r\nOK\r\n") << keep;
  }
}

}  // namespace
