#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "serial/device.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

struct SpeedCode {
  int bitsPerSecond;
  speed_t code;
};
constexpr std::array<SpeedCode, 12> kSpeeds = {{{300, B300},
                                                {600, B600},
                                                {1200, B1200},
                                                {2400, B2400},
                                                {4800, B4800},
                                                {9600, B9600},
                                                {19200, B19200},
                                                {38400, B38400},
                                                {57600, B57600},
                                                {115200, B115200},
                                                {230400, B230400},
                                                {460800, B460800}}};

OpenFailure ClassifyOpenError(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::kNotFound;
    case EACCES:
    case EPERM:
      return OpenFailure::kNoPermission;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::kAccessDenied;
    default:
      return OpenFailure::kOther;
  }
}

class PosixSerialDevice final : public SerialDevice {
 public:
  explicit PosixSerialDevice(int fd) : fd_(fd) {}
  ~PosixSerialDevice() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool Configure(int speed) override {
    const auto found = std::ranges::find(kSpeeds, speed, &SpeedCode::bitsPerSecond);
    termios settings{};
    if (found == kSpeeds.end() || ::tcgetattr(fd_, &settings) != 0) return false;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
    settings.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads are bounded by poll; the read itself returns at once.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    return ::cfsetispeed(&settings, found->code) == 0 &&
           ::cfsetospeed(&settings, found->code) == 0 && ::tcsetattr(fd_, TCSANOW, &settings) == 0;
  }

  bool SetReadTimeout(int ms) override {
    if (ms < 0) return false;
    readTimeoutMs_ = ms;
    return true;
  }

  bool WaitForInput(std::uint32_t maxMs) override {
    pollfd wait{fd_, POLLIN, 0};
    return ::poll(&wait, 1, static_cast<int>(maxMs)) != 0;
  }

  DeviceRead ReadByte(std::uint8_t& byte) override {
    pollfd wait{fd_, POLLIN, 0};
    const int ready = ::poll(&wait, 1, readTimeoutMs_);
    if (ready < 0) return errno == EINTR ? DeviceRead::kTimedOut : DeviceRead::kFailed;
    if (ready == 0) return DeviceRead::kTimedOut;
    const ssize_t count = ::read(fd_, &byte, 1);
    if (count == 1) return DeviceRead::kByte;
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) return DeviceRead::kTimedOut;
    return DeviceRead::kFailed;
  }

  // A held line shows as no room: the wait happens here, outside the driver's I/O lock.
  bool WaitForOutput(std::uint32_t maxMs) override {
    pollfd wait{fd_, POLLOUT, 0};
    return ::poll(&wait, 1, static_cast<int>(maxMs)) != 0;
  }

  // The descriptor is non-blocking: a held line takes nothing and the write returns at once.
  DeviceWrite Write(std::span<const std::uint8_t> data) override {
    const ssize_t count = ::write(fd_, data.data(), data.size());
    if (count >= 0) return {true, static_cast<std::size_t>(count)};
    return {errno == EAGAIN || errno == EINTR, 0};
  }

  void SetDtr(bool raised) override { SetLine(TIOCM_DTR, raised); }
  void SetRts(bool raised) override { SetLine(TIOCM_RTS, raised); }

  std::uint32_t ModemStatus() override {
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0) return 0;
    std::uint32_t status = 0;
    if (lines & TIOCM_CTS) status |= kLineCts;
    if (lines & TIOCM_DSR) status |= kLineDsr;
    if (lines & TIOCM_RI) status |= kLineRing;
    if (lines & TIOCM_CD) status |= kLineRlsd;
    return status;
  }

  void PurgeInput() override { ::tcflush(fd_, TCIFLUSH); }
  void PurgeOutput() override { ::tcflush(fd_, TCOFLUSH); }

  std::size_t PendingOutput() override {
    int pending = 0;
    return ::ioctl(fd_, TIOCOUTQ, &pending) == 0 && pending > 0 ? static_cast<std::size_t>(pending)
                                                                : 0;
  }

  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  void SetLine(int line, bool raised) { ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &line); }

  int fd_;
  int readTimeoutMs_ = 0;
};

class PosixSerialDeviceFactory final : public SerialDeviceFactory {
 public:
  DeviceOpen Open(int port) override {
    const std::string path = SerialDevicePath(port);
    if (path.empty()) return {nullptr, OpenFailure::kNotFound, ENOENT, {}};
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failed(errno, path);
    // TIOCEXCL keeps other users out but not root, so a lock on the device refuses every second
    // open, from this process or another.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
      const int error = errno;
      ::close(fd);
      return {nullptr, OpenFailure::kAccessDenied, static_cast<std::uint32_t>(error), {}};
    }
    return {std::make_unique<PosixSerialDevice>(fd), OpenFailure::kNone, 0, {}};
  }

 private:
  static DeviceOpen Failed(int error, const std::string& path) {
    DeviceOpen failed{nullptr, ClassifyOpenError(error), static_cast<std::uint32_t>(error), {}};
    if (failed.failure == OpenFailure::kNoPermission) failed.group = DeviceGroup(path);
    return failed;
  }

  // The name of the group the device belongs to (its number when it has no name; the usual
  // group of serial devices when the device cannot even be looked at).
  static std::string DeviceGroup(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return "dialout";
    const group* entry = ::getgrgid(status.st_gid);
    return entry != nullptr ? std::string(entry->gr_name) : std::to_string(status.st_gid);
  }
};

}  // namespace

SerialDeviceFactory& PlatformSerialDevices() {
  static PosixSerialDeviceFactory factory;
  return factory;
}

}  // namespace vandrel
