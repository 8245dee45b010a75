#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tools/handset-sim/line.h"
#include "tools/handset-sim/stop_signal.h"

namespace vandrel::sim {
namespace {

// How long one wait for the line lasts before the stop request is looked at again.
constexpr int kWritePollMs = 100;

std::string SystemError(std::string_view what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Raw bytes both ways: no echo, no line editing, no CR/LF translation by the terminal driver.
void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return;
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

bool Line::Open(std::string& error) {
  const bool opened = options_.device.empty() ? OpenPseudoTerminal(error) : OpenDevice(error);
  if (opened && !SetNonBlocking(fd_)) {
    error = SystemError("fcntl");
    return false;
  }
  return opened && (!options_.clientFlowControl || OpenFlowHandle(error));
}

bool Line::OpenFlowHandle(std::string& error) {
  if (!pseudoTerminal_) {
    error = "holding the client's output needs the simulator's own pseudo-terminal";
    return false;
  }
  flowHandle_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (flowHandle_ < 0) {
    error = SystemError(path_);
    return false;
  }
  return true;
}

bool Line::OpenPseudoTerminal(std::string& error) {
  fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (fd_ < 0) {
    error = SystemError("posix_openpt");
    return false;
  }
  char name[128];
  if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || ptsname_r(fd_, name, sizeof name) != 0) {
    error = SystemError("pseudo-terminal set-up");
    return false;
  }
  path_ = name;
  pseudoTerminal_ = true;
  // The settings outlive this descriptor: they stay with the terminal while the master is open.
  const int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) {
    error = SystemError(path_);
    return false;
  }
  MakeRaw(slave);
  close(slave);
  return true;
}

bool Line::OpenDevice(std::string& error) {
  fd_ = open(options_.device.c_str(), O_RDWR | O_NOCTTY);
  if (fd_ < 0) {
    error = SystemError(options_.device);
    return false;
  }
  path_ = options_.device;
  MakeRaw(fd_);
  return true;
}

ReadResult Line::Read(std::span<std::uint8_t> buffer, int timeoutMs) {
  if (fd_ < 0) return {ReadStatus::kFailed};
  const auto now = ReadPacer::Clock::now();
  if (pacer_.Active() && now < pacer_.NextReadAllowed()) {
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.NextReadAllowed() - now);
    std::this_thread::sleep_for(
        std::min(wait + std::chrono::milliseconds(1), std::chrono::milliseconds(timeoutMs)));
    return {ReadStatus::kIdle};
  }
  pollfd waiting{fd_, POLLIN, 0};
  const int ready = poll(&waiting, 1, timeoutMs);
  if (ready < 0) return {errno == EINTR ? ReadStatus::kIdle : ReadStatus::kFailed};
  if (ready == 0) {
    clientPresent_ = pseudoTerminal_;
    return {ReadStatus::kIdle};
  }
  // A client that closed its side has hung up, whatever it wrote that is still unread: a handset
  // sees its line drop at once, not after the bytes that a pseudo-terminal holds.
  const bool hungUp = (waiting.revents & POLLHUP) != 0 && clientPresent_;
  if (pseudoTerminal_ && ((waiting.revents & POLLIN) == 0 || hungUp)) return ClientGone(timeoutMs);
  const ssize_t count = read(fd_, buffer.data(), pacer_.ChunkLimit(buffer.size()));
  if (count < 0 && errno == EIO && pseudoTerminal_) return ClientGone(timeoutMs);
  if (count < 0) {
    return {errno == EAGAIN || errno == EINTR ? ReadStatus::kIdle : ReadStatus::kFailed};
  }
  if (count == 0) return {ReadStatus::kFailed};
  clientPresent_ = pseudoTerminal_;
  pacer_.Consumed(static_cast<std::size_t>(count), ReadPacer::Clock::now());
  return {ReadStatus::kData, static_cast<std::size_t>(count)};
}

void Line::Hold(int timeoutMs) {
  // Asking for no event still reports the client's hang-up, which must release exclusive use as
  // when reading.
  pollfd waiting{fd_, 0, 0};
  const int ready = poll(&waiting, 1, timeoutMs);
  if (ready == 0) {
    clientPresent_ = pseudoTerminal_;
  } else if (ready > 0 && pseudoTerminal_ && (waiting.revents & POLLHUP) != 0) {
    ClientGone(timeoutMs);
  } else if (ready > 0 || errno != EINTR) {
    // A device that reports an error at once must not turn the wait into a busy loop; a stop
    // signal ends the wait at once.
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  }
}

ReadResult Line::ClientGone(int timeoutMs) {
  const bool left = clientPresent_;
  if (left) {
    clientPresent_ = false;
    // A serial port forgets exclusive use when its last user closes it; a pseudo-terminal keeps
    // it while the master is open, and the client's next open would be refused as "in use".
    const int slave = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave >= 0) {
      ioctl(slave, TIOCNXCL);
      close(slave);
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return {left ? ReadStatus::kClientLeft : ReadStatus::kIdle};
}

void Line::Send(std::string_view bytes) {
  const std::size_t piece = options_.splitBytes == 0 ? bytes.size() : options_.splitBytes;
  while (!bytes.empty() && fd_ >= 0 && !StopRequested()) {
    const std::size_t take = std::min(piece, bytes.size());
    if (!WriteAll(bytes.substr(0, take))) return;
    bytes.remove_prefix(take);
    if (!bytes.empty())
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.splitPauseMs));
  }
}

bool Line::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    if (StopRequested()) return false;
    const ssize_t written = write(fd_, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
    // The client is not reading: wait until the line takes bytes again.
    pollfd waiting{fd_, POLLOUT, 0};
    poll(&waiting, 1, kWritePollMs);
  }
  return true;
}

// The client's output is held on its own side of the pseudo-terminal: once stopped there, its
// writes wait as on a serial port whose CTS is low, and not even a change of its settings starts
// them again.
void Line::SuspendClient() {
  if (flowHandle_ >= 0) tcflow(flowHandle_, TCOOFF);
}

void Line::ResumeClient() {
  if (flowHandle_ >= 0) tcflow(flowHandle_, TCOON);
}

void Line::DiscardUnread() {
  if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
}

void Line::HangUp() {
  for (int* fd : {&flowHandle_, &fd_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

}  // namespace vandrel::sim
