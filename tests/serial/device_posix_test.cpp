#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "runtime/message_catalogue.h"
#include "serial/device.h"
#include "serial/port_map.h"
#include "serial/serial_driver.h"
#include "tests/serial/transfer_check.h"
#include "tools/pty-peer/pty_peer.h"

namespace vandrel {
namespace {

constexpr auto kPeerPatience = std::chrono::seconds(30);

TEST(SerialPty, BytesCrossBothWaysCompleteAndInOrder) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  const int port = RegisterSerialDevicePath(terminal.SlavePath());
  ASSERT_GT(port, 0);
  std::string peerFailure;
  std::atomic<bool> portDone{false};
  const auto deadline = std::chrono::steady_clock::now() + kPeerPatience;
  std::thread peer([&] {
    peerFailure = ServeTransferCheck(terminal.Master(), [&] {
      return !portDone && std::chrono::steady_clock::now() < deadline;
    });
  });
  CheckTransferThrough(port);
  portDone = true;
  peer.join();
  EXPECT_EQ(peerFailure, "");
}

TEST(SerialPty, OpenDeviceIsRefusedAsInUse) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  const int port = RegisterSerialDevicePath(terminal.SlavePath());
  std::string log;
  RealClock clock;
  ASSERT_EQ(SerialOpen(port, 115200, 1, log, clock), kOpenForcedSpeed);
  // Refused even to root, and whichever process asks: the device is locked, not only marked.
  const DeviceOpen second = PlatformSerialDevices().Open(port);
  EXPECT_EQ(second.device, nullptr);
  EXPECT_EQ(second.failure, OpenFailure::kAccessDenied);
  ASSERT_TRUE(SerialClose(port));
  EXPECT_NE(PlatformSerialDevices().Open(port).device, nullptr) << "free again after close";
}

TEST(SerialPty, MissingDeviceIsLoggedAsNotFound) {
  const int port = RegisterSerialDevicePath("/dev/vandrel-no-such-port");
  std::string log;
  RealClock clock;
  EXPECT_EQ(SerialOpen(port, 115200, 1, log, clock), kOpenFailed);
  EXPECT_EQ(log, "\r\nCOM" + std::to_string(port) + " : " + GetText(TXT_PORT_MISSING));
}

}  // namespace
}  // namespace vandrel
