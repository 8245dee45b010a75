#include "tools/pty-peer/pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "tests/serial/transfer_pattern.h"

namespace vandrel {

namespace {

constexpr int kPollMs = 50;
constexpr auto kDrainTick = std::chrono::milliseconds(10);
constexpr int kTicksPerSecond = 100;

// Waits up to kPollMs for the master to become ready for `events`.
bool WaitFor(int master, short events) {
  pollfd wait{master, events, 0};
  return ::poll(&wait, 1, kPollMs) > 0 && (wait.revents & events) != 0;
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool PseudoTerminal::Open() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
  const char* name = ::ptsname(master_);
  if (name == nullptr) return false;
  slavePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return false;
  // Raw from the start: no echo of what the peer sends before the port sets its own parameters.
  termios settings{};
  ::tcgetattr(slave_, &settings);
  ::cfmakeraw(&settings);
  ::tcsetattr(slave_, TCSANOW, &settings);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

std::string ServeTransferCheck(int master, const KeepGoing& keepGoing) {
  std::size_t received = 0;
  std::array<std::uint8_t, 4096> buffer{};
  while (received < kOutgoingBytes) {
    if (!keepGoing()) return "only " + std::to_string(received) + " bytes arrived";
    if (!WaitFor(master, POLLIN)) continue;
    const ssize_t count = ::read(master, buffer.data(), buffer.size());
    for (ssize_t i = 0; i < count; ++i, ++received) {
      if (received >= kOutgoingBytes) return "more bytes than were sent arrived";
      if (buffer[static_cast<std::size_t>(i)] != TransferPatternByte(received, kOutgoingSeed)) {
        return "byte " + std::to_string(received) + " arrived wrong";
      }
    }
  }
  const std::vector<std::uint8_t> answer = TransferPattern(kIncomingBytes, kIncomingSeed);
  std::size_t sent = 0;
  while (sent < answer.size()) {
    if (!keepGoing()) return "the answer could not be sent";
    if (!WaitFor(master, POLLOUT)) continue;
    const ssize_t count = ::write(master, answer.data() + sent, answer.size() - sent);
    if (count > 0) sent += static_cast<std::size_t>(count);
  }
  return {};
}

std::size_t Drain(int master, int bytesPerSecond, const KeepGoing& keepGoing) {
  const std::size_t perTick =
      static_cast<std::size_t>(std::max(1, bytesPerSecond / kTicksPerSecond));
  std::vector<std::uint8_t> buffer(perTick);
  std::size_t total = 0;
  auto nextTick = std::chrono::steady_clock::now();
  while (keepGoing()) {
    std::size_t thisTick = 0;
    while (thisTick < perTick) {
      const ssize_t count = ::read(master, buffer.data(), perTick - thisTick);
      if (count <= 0) break;
      thisTick += static_cast<std::size_t>(count);
    }
    total += thisTick;
    nextTick += kDrainTick;
    std::this_thread::sleep_until(nextTick);
  }
  return total;
}

}  // namespace vandrel
