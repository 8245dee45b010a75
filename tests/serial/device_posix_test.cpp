#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

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

// A user outside the device's group: the device's mode leaves the test's own user no right, and
// root opens it as an unprivileged user in a child process.
TEST(SerialPty, AnOpenWithoutPermissionNamesTheDevicesGroup) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  ASSERT_EQ(::chmod(terminal.SlavePath().c_str(), 0), 0);
  const int port = RegisterSerialDevicePath(terminal.SlavePath());
  struct stat status {};
  ASSERT_EQ(::stat(terminal.SlavePath().c_str(), &status), 0);
  const group* owner = ::getgrgid(status.st_gid);
  const std::string expected = owner != nullptr ? owner->gr_name : std::to_string(status.st_gid);
  const auto refusal = [&] {
    const DeviceOpen opened = PlatformSerialDevices().Open(port);
    return opened.failure == OpenFailure::kNoPermission && opened.group == expected &&
           opened.device == nullptr;
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(refusal());
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && refusal() ? 0 : 1);
  int exitStatus = 0;
  ::waitpid(child, &exitStatus, 0);
  EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
}

TEST(SerialPty, MissingDeviceIsLoggedAsNotFound) {
  const int port = RegisterSerialDevicePath("/dev/vandrel-no-such-port");
  std::string log;
  RealClock clock;
  EXPECT_EQ(SerialOpen(port, 115200, 1, log, clock), kOpenFailed);
  EXPECT_EQ(log, "\r\nCOM" + std::to_string(port) + " : " + GetText(TXT_PORT_MISSING));
}

// The line as the device driver keeps it, read back from the master side: raw 8N1 bytes at the
// speed asked for, output held by CTS, no software flow control, whatever the line was before.
TEST(SerialPty, ConfigureMakesACookedLineRawEightNoneOneWithHardwareHandshake) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  termios cooked{};
  ASSERT_EQ(::tcgetattr(terminal.Master(), &cooked), 0);
  cooked.c_iflag |= ICRNL | IXON | IXOFF;
  cooked.c_oflag |= OPOST | ONLCR;
  cooked.c_lflag |= ICANON | ECHO | ISIG;
  cooked.c_cflag = (cooked.c_cflag & ~(CSIZE | CRTSCTS)) | CS7 | PARENB | CSTOPB;
  ASSERT_EQ(::tcsetattr(terminal.Master(), TCSANOW, &cooked), 0);
  const DeviceOpen opened =
      PlatformSerialDevices().Open(RegisterSerialDevicePath(terminal.SlavePath()));
  ASSERT_NE(opened.device, nullptr);
  EXPECT_FALSE(opened.device->Configure(12345)) << "a speed the line cannot take is refused";
  ASSERT_TRUE(opened.device->Configure(19200));
  termios line{};
  ASSERT_EQ(::tcgetattr(terminal.Master(), &line), 0);
  EXPECT_EQ(::cfgetospeed(&line), B19200);
  EXPECT_EQ(::cfgetispeed(&line), B19200);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
  EXPECT_NE(line.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(line.c_iflag & (ICRNL | IXON | IXOFF | IXANY), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

}  // namespace
}  // namespace vandrel
