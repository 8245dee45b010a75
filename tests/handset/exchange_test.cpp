#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "handset/handset_link.h"
#include "tests/handset/link_fixture.h"

namespace vandrel {
namespace {

class ExchangeTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    std::string log;
    ASSERT_EQ(SerialOpen(kTestPort, 115200, 1, log, clock_), kOpenConfigured);
    Connect(false);
  }

  // A link on the open port; the one it replaces leaves the port open.
  void Connect(bool patient) {
    if (link_) link_->connected = false;
    link_.emplace(Context(patient));
    link_->port = kTestPort;
    link_->connected = true;
  }

  // Writes `command` and awaits its answer; returns the event code (0 when accepted) and the
  // virtual time the wait took.
  std::pair<int, std::uint64_t> Exchange(const std::string& command, std::size_t expected) {
    Event event{kEventNothing, 0, 0, {}, {}};
    EXPECT_TRUE(link_->SendBytes(command, event));
    const std::uint64_t start = clock_.NowMs();
    const bool ok = link_->AwaitAnswer(expected, status_, event);
    return {ok ? 0 : event.code, clock_.NowMs() - start};
  }

  std::optional<HandsetLink> link_;
  AnswerStatus status_;
};

using Outcome = std::pair<int, std::uint64_t>;

// An answer is complete when the line of its final word has ended, however it arrives; a final
// word without a line end is taken at the end of the step it came in, and an answer over 512
// bytes at the read that crosses the limit.
TEST_F(ExchangeTest, AnswerIsTakenWhenItsLastPieceArrives) {
  EXPECT_EQ(Exchange("AT+KDOBJ?\r", 10), (Outcome{0, 0}));
  EXPECT_EQ(status_.value, 500000);
  EXPECT_EQ(status_.answerKind, kAnswerWithValue);
  handset_.answers["AT+CMEE=1"] = "\r\nO";
  clock_.FeedLater(300, "K");
  clock_.FeedLater(350, "\r\n");
  EXPECT_EQ(Exchange("AT+CMEE=1\r", 10), (Outcome{0, 350}));
  handset_.answers["AT+CMEE=1"] = "";
  clock_.FeedLater(900, "\r\nOK\r\n");
  EXPECT_EQ(Exchange("AT+CMEE=1\r", 10), (Outcome{0, 900})) << "a late answer still counts";
  handset_.answers["AT+CMEE=1"] = "\r\nOK";
  EXPECT_EQ(Exchange("AT+CMEE=1\r", 10), (Outcome{0, 100}));
  handset_.answers["AT+CMEE=1"] = "\r\nOK\r";
  clock_.FeedLater(50, "\n");
  EXPECT_EQ(Exchange("AT+CMEE=1\r", 10), (Outcome{0, 50})) << "its line feed belongs to it too";
  handset_.answers["ATX"] = std::string(540, 'x') + "\r\nOK\r\n";
  EXPECT_EQ(Exchange("ATX\r", 4), (Outcome{kEventUnexpectedResponse, 0})) << "over 512 bytes";
}

// An error is followed by quiet polls until the line with its code has ended; the probe's quiet
// polls go at the answer's pace, not its own.
TEST_F(ExchangeTest, ErrorAnswerWaitsForTheLineOfItsCode) {
  handset_.answers["AT&K3"] = "\r\n+CME ERROR: 100,65523\r\n";
  EXPECT_EQ(Exchange("AT&K3\r", 6), (Outcome{kEventPhoneStorageFull, 0}));
  handset_.answers["AT&K3"] = "\r\n+CME ERROR: 100,655";
  clock_.FeedLater(1500, "23\r\n");
  EXPECT_EQ(Exchange("AT&K3\r", 6), (Outcome{kEventPhoneStorageFull, 1500}));
  handset_.answers["AT&K3"] = "\r\nERROR\r\n";
  EXPECT_EQ(Exchange("AT&K3\r", 6).first, kEventUnexpectedResponse);
  handset_.answers["AT"] = "\r\nERROR";
  EXPECT_EQ(Exchange("AT\r", 0), (Outcome{kEventUnexpectedResponse, 2000}));
}

// Patient polls keep their step after an error: the probe's 20 quiet polls take 500 ms each.
TEST_F(ExchangeTest, PatientWaitsPollInFixedSteps) {
  Connect(true);
  EXPECT_EQ(Exchange("AT+KDOBJ?\r", 10), (Outcome{0, 100}));
  handset_.answers["AT&K3"] = "\r\n+CME ERROR: 100,65523\r\n";
  EXPECT_EQ(Exchange("AT&K3\r", 6), (Outcome{kEventPhoneStorageFull, 2100}));
  handset_.answers["AT"] = "\r\nERROR\r\n";
  EXPECT_EQ(Exchange("AT\r", 0), (Outcome{kEventUnexpectedResponse, 10500}));
  handset_.answers["ATX"] = std::string(540, 'x') + "\r\nOK\r\n";
  EXPECT_EQ(Exchange("ATX\r", 4), (Outcome{kEventUnexpectedResponse, 200}));
}

TEST_F(ExchangeTest, SilenceTimesOutAfterPollsThatGrowWithTheSize) {
  handset_.silent = true;
  EXPECT_EQ(Exchange("AT+CMEE=1\r", 10), (Outcome{kEventPortTimeout, 60000}));
  EXPECT_EQ(Exchange("AT\r", 0), (Outcome{kEventPortTimeout, 500}));
  EXPECT_EQ(Exchange("x", 119989).second, 60000u);
  EXPECT_EQ(Exchange("x", 200000).second, 100100u);
}

TEST_F(ExchangeTest, WriteToAClosedPortFailsWithoutADriverBox) {
  EXPECT_TRUE(link_->CloseLink());
  EXPECT_FALSE(link_->connected);
  Event event{kEventNothing, 0, 0, {}, {}};
  EXPECT_FALSE(link_->SendBytes("AT\r", event));
  EXPECT_EQ(event.code, kEventPortWriteFailed);
  EXPECT_TRUE(ui_.boxes.empty());
}

// A device that fails (a pulled cable) ends the exchange under way at once, in the driver's words
// for the failure, and the next write fails at once with the same words, without waiting for a
// stall; nothing is shown beside the event, which its caller reports.
TEST_F(ExchangeTest, FailedLineEndsTheExchangeAtOnceInTheDriversWords) {
  for (const bool reads : {true, false}) {
    line_.FailReads(reads);
    line_.FailWrites(!reads);
    Event event{kEventNothing, 0, 0, {}, {}};
    ASSERT_TRUE(link_->SendBytes("AT\r", event));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (SerialLineFailure(kTestPort) == kDriverNoError &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    const std::uint8_t failure = reads ? kEventPortReadFailed : kEventPortWriteFailed;
    const std::uint64_t start = clock_.NowMs();
    EXPECT_FALSE(link_->AwaitAnswer(3, status_, event));
    EXPECT_EQ(event.code, failure);
    event.code = kEventNothing;
    EXPECT_FALSE(link_->SendBytes(std::string(kQueueSlots * kSlotBytes + 1, 'x'), event));
    EXPECT_EQ(event.code, failure);
    EXPECT_EQ(clock_.NowMs(), start);
    EXPECT_TRUE(ui_.boxes.empty()) << BoxTexts()[0];
    line_.FailReads(false);
    line_.FailWrites(false);
    EXPECT_TRUE(link_->CloseLink());
    std::string log;
    ASSERT_EQ(SerialOpen(kTestPort, 115200, 1, log, clock_), kOpenConfigured);
    Connect(false);
  }
}

TEST_F(ExchangeTest, CloseThatFailsWhileConnectedIsShownAndKeepsTheLink) {
  line_.FailClose(true);
  EXPECT_FALSE(link_->CloseLink());
  EXPECT_TRUE(link_->connected);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Error 0x0C : Failed closing port 3"}));
}

}  // namespace
}  // namespace vandrel
