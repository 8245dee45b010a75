#include "serial/serial_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "runtime/message_catalogue.h"
#include "tests/doubles/fake_device.h"
#include "tests/serial/transfer_pattern.h"

namespace vandrel {
namespace {

constexpr int kPort = 7;
constexpr int kRequestedSpeed = 9600;
constexpr int kReadTimeoutMs = 1;
constexpr std::uint32_t kHandsetLines = kLineCts | kLineDsr;

// Real-time bound for what the driver's threads do in the background.
constexpr auto kPatience = std::chrono::seconds(10);

std::vector<std::uint8_t> Pattern(std::size_t length) {
  return TransferPattern(length, kOutgoingSeed);
}

bool WriteText(int port, std::string_view text) {
  return SerialWrite(port, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Reads until `count` bytes arrived or patience ran out.
std::string ReadBytes(int port, std::size_t count) {
  std::string received;
  Eventually([&] {
    std::uint8_t buffer[1000];
    bool timedOut = false;
    const int got = SerialRead(port, buffer, timedOut);
    received.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    return received.size() >= count;
  });
  return received;
}

std::string LogLine(int port, TextId text) {
  return "\r\nCOM" + std::to_string(port) + " : " + GetText(text);
}

class SerialDriver : public ::testing::Test {
 protected:
  void SetUp() override { InstallSerialDevices(&devices_); }
  void TearDown() override {
    SerialClose(kPort);
    int code = 0;
    SerialTakeError(kPort, code);
    InstallSerialDevices(nullptr);
  }

  FakeSerialLine& Line() { return devices_.Line(kPort); }

  int OpenWithHandset() {
    Line().SetModemReadings({0, kHandsetLines, kHandsetLines});
    return SerialOpen(kPort, kRequestedSpeed, kReadTimeoutMs, log_, *waits_);
  }

  VirtualClock clock_;
  RealClock realClock_;
  // The clock the port's waits run on.
  Clock* waits_ = &clock_;
  FakeSerialDevices devices_;
  std::string log_;
};

struct LineTestCase {
  const char* name;
  std::vector<std::uint32_t> readings;
  int result;
  int configuredSpeed;  // 0: left unconfigured
  int logText;          // 0: no log line
};

const LineTestCase kLineTests[] = {
    {"NothingReported", {0, 0, 0}, kOpenForcedSpeed, kForcedSpeed, 0},
    {"CtsAlwaysOn", {kLineCts, kHandsetLines, kHandsetLines}, kOpenForcedSpeed, kForcedSpeed, 0},
    {"DataCableNoHandset", {0, kLineDsr, kLineDsr}, kOpenCableNoHandset, 0, TXT_CABLE_NO_HANDSET},
    {"BadCable", {0, kLineDsr, kHandsetLines}, kOpenNonCompliantCable, 0, TXT_CABLE_NOT_COMPLIANT},
    {"WithHandset", {0, kHandsetLines, kHandsetLines}, kOpenConfigured, kRequestedSpeed, 0},
    {"RingAndRlsdIgnored", {kLineRing, kLineRlsd, kLineRing}, kOpenConfigured, kRequestedSpeed, 0},
};

class SerialLineTest : public SerialDriver, public ::testing::WithParamInterface<LineTestCase> {};

TEST_P(SerialLineTest, ReadingsDecideResultSpeedAndLog) {
  const LineTestCase& test = GetParam();
  Line().SetModemReadings(test.readings);
  EXPECT_EQ(SerialOpen(kPort, kRequestedSpeed, kReadTimeoutMs, log_, *waits_), test.result);
  EXPECT_EQ(Line().ConfiguredSpeed(), test.configuredSpeed);
  EXPECT_EQ(log_, test.logText != 0 ? LogLine(kPort, static_cast<TextId>(test.logText)) : "");
  EXPECT_TRUE(Line().Dtr() && Line().Rts()) << "both lines stay raised after the test";
  EXPECT_GE(clock_.SleptMs(), 300u) << "each reading waits 100 ms for the lines to settle";
  // Only a configured port has a writer to take bytes; a write to another one closes it.
  const bool configured = test.configuredSpeed != 0;
  EXPECT_EQ(WriteText(kPort, "A"), configured);
  EXPECT_EQ(Line().IsOpen(), configured);
  int code = 0;
  SerialTakeError(kPort, code);
  EXPECT_EQ(code, configured ? kDriverNoError : kDriverWriteWhileClosing);
}

INSTANTIATE_TEST_SUITE_P(Table, SerialLineTest, ::testing::ValuesIn(kLineTests),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialDriver, OpenFailureAppendsOneLineAndReturnsFour) {
  const struct {
    OpenFailure failure;
    std::uint32_t code;
    const char* line;
  } cases[] = {{OpenFailure::kNotFound, 2,
                "This port does not exist. Check the BIOS and the Material Profile."},
               {OpenFailure::kAccessDenied, 5, "This port is already used by another application."},
               {OpenFailure::kNoPermission, 13,
                "You may not use this port: its device belongs to the group dialout. Add yourself "
                "to the group dialout and log in again."},
               {OpenFailure::kOther, 0x1F, "Unknown error type [0x0000001F]"}};
  for (const auto& test : cases) {
    devices_.FailOpen(kPort, test.failure, test.code, "dialout");
    log_ = "earlier";
    EXPECT_EQ(SerialOpen(kPort, kRequestedSpeed, kReadTimeoutMs, log_, *waits_), kOpenFailed);
    EXPECT_EQ(log_, std::string("earlier\r\nCOM7 : ") + test.line);
  }
}

TEST_F(SerialDriver, RefusedLineParametersCloseTheDevice) {
  Line().RefuseConfigure(true);
  EXPECT_EQ(OpenWithHandset(), kOpenFailed);
  EXPECT_EQ(log_, LogLine(kPort, TXT_PORT_OPEN_FAILED));
  EXPECT_FALSE(Line().IsOpen());
}

TEST_F(SerialDriver, RefusedTimeOutFailsWithCodeFourAndNoLogLine) {
  Line().RefuseReadTimeout(true);
  EXPECT_EQ(OpenWithHandset(), kOpenFailed);
  EXPECT_EQ(log_, "");
  EXPECT_FALSE(Line().IsOpen());
  int code = 0;
  EXPECT_STREQ(SerialTakeError(kPort, code), "Initialisation du Timeout impossible");
  EXPECT_EQ(code, kDriverTimeoutFailed);
  EXPECT_FALSE(WriteText(kPort, "A"));
}

TEST_F(SerialDriver, SecondOpenOfAnOpenPortChangesNothing) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  EXPECT_EQ(SerialOpen(kPort, 57600, kReadTimeoutMs, log_, *waits_), kOpenForcedSpeed);
  EXPECT_EQ(Line().ConfiguredSpeed(), kRequestedSpeed);
  EXPECT_EQ(Line().Opens(), 1);
  EXPECT_EQ(log_, "");
}

// Real time here: a long write waits on the writer through 5 ms polls, and on the virtual clock
// the 500 polls that mean "stalled" would pass before a slow machine's writer moved.
class SerialSlots : public SerialDriver, public ::testing::WithParamInterface<std::size_t> {
 protected:
  void SetUp() override {
    SerialDriver::SetUp();
    waits_ = &realClock_;
  }
};

TEST_P(SerialSlots, WritesArriveWholeInOrderInSlotsOfForty) {
  const std::size_t length = GetParam();
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  const std::vector<std::uint8_t> data = Pattern(length);
  const std::uint64_t before = SerialBytesWritten(kPort);
  ASSERT_TRUE(SerialWrite(kPort, data));
  ASSERT_TRUE(Eventually([&] { return SerialBytesWritten(kPort) - before == length; }));
  EXPECT_EQ(Line().Written(), AsText(data));
  std::vector<std::size_t> sizes(length / 40, 40);
  if (length % 40 != 0) sizes.push_back(length % 40);
  EXPECT_EQ(Line().WriteSizes(), sizes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SerialSlots, ::testing::Values(0, 40, 81, 40001));

// A handset that stops reading: a write longer than the queue fails after 500 checks of 5 ms,
// with no driver error; its answer is still read, and neither the pause after it nor the close
// waits for the write that the line holds.
TEST_F(SerialDriver, HeldLineFailsAFullQueueAndKeepsNeitherTheReaderNorTheCloseWaiting) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  Line().StallWrites(true);
  EXPECT_FALSE(SerialWrite(kPort, Pattern(40001)));
  EXPECT_GE(clock_.SleptMs(), 2500u);
  int code = -1;
  SerialTakeError(kPort, code);
  EXPECT_EQ(code, kDriverNoError);
  Line().Feed("\r\n+CME ERROR: 100,65525\r\n");
  EXPECT_EQ(ReadBytes(kPort, 25), "\r\n+CME ERROR: 100,65525\r\n");
  EXPECT_FALSE(SerialAwaitSent(kPort)) << "a writer that moves nothing is stalled";
  SerialSuspend(kPort);
  EXPECT_TRUE(SerialClose(kPort)) << "closing ends a writer held in its write";
  EXPECT_EQ(Line().Written(), "");
}

// A device whose reads fail has lost its line: the reader leaves it alone until the close rather
// than failing over and over, writes fail at once, and the next open starts with a working line.
TEST_F(SerialDriver, FailedReadEndsTheLineUntilTheNextOpen) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  Line().FailReads(true);
  SerialResume(kPort);
  ASSERT_TRUE(Eventually([&] { return SerialLineFailure(kPort) == kDriverReadFailed; }));
  const int waits = Line().InputWaitsEnded();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Line().InputWaitsEnded(), waits) << "the reader tried the failed device again";
  EXPECT_FALSE(WriteText(kPort, "AT\r"));
  EXPECT_EQ(Line().Written(), "");
  EXPECT_TRUE(SerialClose(kPort));
  Line().FailReads(false);
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  EXPECT_EQ(SerialLineFailure(kPort), kDriverNoError);
  ASSERT_TRUE(WriteText(kPort, "AT\r"));
  EXPECT_TRUE(Eventually([&] { return Line().Written() == "AT\r"; }));
}

TEST_F(SerialDriver, DiscardedOutputIsNeverWritten) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  Line().StallWrites(true);
  ASSERT_TRUE(SerialWrite(kPort, Pattern(1000)));
  SerialDiscardOutput(kPort);
  Line().StallWrites(false);
  const std::string command = "AT+CMEE=1\r";
  ASSERT_TRUE(WriteText(kPort, command));
  // in real time: on the virtual clock a slow machine's writer may not have moved yet
  EXPECT_TRUE(Eventually([&] { return Line().Written() == command; })) << Line().Written();
}

TEST_F(SerialDriver, WriteAfterCloseFailsWithCodeElevenOnce) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  ASSERT_TRUE(SerialClose(kPort));
  EXPECT_FALSE(WriteText(kPort, "A"));
  int code = 0;
  EXPECT_STREQ(SerialTakeError(kPort, code), "Tentative d'envoie pendant la fermeture du port");
  EXPECT_EQ(code, kDriverWriteWhileClosing);
  EXPECT_STREQ(SerialTakeError(kPort, code), "Pas d'erreur");
  EXPECT_EQ(code, kDriverNoError);
  code = -1;
  EXPECT_STREQ(SerialTakeError(300, code), "Pas d'erreur") << "a port outside the table";
  EXPECT_EQ(code, kDriverNoError);
}

// What the device held before the open, such as a late answer to the port's last user, is not
// read as an answer of this conversation; what the full ring left in the device is stored from
// the ring's start on, once there is room.
TEST_F(SerialDriver, OpenDiscardsWhatTheDeviceHeldAndAFullRingReadsTheRestInOrder) {
  Line().Feed("\r\nOK\r\n");
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  ASSERT_TRUE(SerialWrite(kPort, {}));
  const std::string incoming = AsText(Pattern(9000));
  Line().Feed(incoming);
  ASSERT_TRUE(Eventually([&] { return Line().Unread() == 9000 - 8191; }));
  EXPECT_EQ(ReadBytes(kPort, incoming.size()), incoming);
}

TEST_F(SerialDriver, ReadReportsAndClearsTheTimeOut) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  ASSERT_TRUE(SerialWrite(kPort, {}));
  std::uint8_t buffer[4];
  bool timedOut = false;
  ASSERT_TRUE(Eventually([&] {
    SerialRead(kPort, buffer, timedOut);
    return timedOut;
  }));
  SerialSuspend(kPort);
  SerialRead(kPort, buffer, timedOut);
  EXPECT_EQ(SerialRead(kPort, buffer, timedOut), 0);
  EXPECT_FALSE(timedOut);
}

// The reader is caught in its wait for input when the port is suspended; the bytes then arrive,
// its wait ends, and a second suspend waits out any step it might take: none may take them.
TEST_F(SerialDriver, SuspendedReaderLeavesBytesInTheDeviceUntilTheNextWrite) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  Line().HoldInputWaits(true);
  ASSERT_TRUE(SerialWrite(kPort, {}));
  ASSERT_TRUE(Eventually([&] { return Line().InputWaiters() == 1; }));
  SerialSuspend(kPort);
  Line().Feed("OK\r\n");
  const int ended = Line().InputWaitsEnded();
  Line().HoldInputWaits(false);
  ASSERT_TRUE(Eventually([&] { return Line().InputWaitsEnded() > ended; }));
  SerialSuspend(kPort);
  EXPECT_EQ(Line().Unread(), 4u);
  ASSERT_TRUE(SerialWrite(kPort, {}));
  EXPECT_EQ(ReadBytes(kPort, 4), "OK\r\n");
}

TEST_F(SerialDriver, CloseStopsThreadsPurgesAndReportsAFailedClose) {
  ASSERT_EQ(OpenWithHandset(), kOpenConfigured);
  ASSERT_TRUE(SerialWrite(kPort, {}));
  Line().FailClose(true);
  const int purges = Line().Purges();
  EXPECT_FALSE(SerialClose(kPort));
  EXPECT_EQ(Line().Purges(), purges + 2);
  EXPECT_FALSE(Line().IsOpen());
  int code = 0;
  EXPECT_STREQ(SerialTakeError(kPort, code), "Fermeture du Port Impossible");
  EXPECT_TRUE(SerialClose(kPort)) << "a port that failed to close counts as closed";
  EXPECT_EQ(OpenWithHandset(), kOpenConfigured) << "and can be opened again";
}

}  // namespace
}  // namespace vandrel
