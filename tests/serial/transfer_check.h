#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "serial/serial_driver.h"
#include "tests/serial/transfer_pattern.h"

namespace vandrel {

// The port side of the end-to-end check against a peer on a pseudo-terminal: open (modem lines
// read as 0 there, so the speed is forced), send more than a full write queue, collect the
// peer's answer, close.
inline void CheckTransferThrough(int port) {
  constexpr int kReadTimeoutMs = 1;
  constexpr auto kPatience = std::chrono::seconds(30);
  RealClock clock;
  std::string log;
  const std::uint64_t before = SerialBytesWritten(port);
  ASSERT_EQ(SerialOpen(port, 9600, kReadTimeoutMs, log, clock), kOpenForcedSpeed) << log;
  ASSERT_TRUE(SerialWrite(port, TransferPattern(kOutgoingBytes, kOutgoingSeed)));

  std::vector<std::uint8_t> received;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (received.size() < kIncomingBytes && std::chrono::steady_clock::now() < deadline) {
    std::uint8_t buffer[512];
    bool timedOut = false;
    const int count = SerialRead(port, buffer, timedOut);
    received.insert(received.end(), buffer, buffer + count);
    if (count == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(received, TransferPattern(kIncomingBytes, kIncomingSeed));
  EXPECT_EQ(SerialBytesWritten(port) - before, kOutgoingBytes);
  SerialSuspend(port);
  EXPECT_TRUE(SerialClose(port));
  int code = -1;
  SerialTakeError(port, code);
  EXPECT_EQ(code, kDriverNoError);
}

}  // namespace vandrel
