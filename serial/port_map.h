#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// Ports are known by number everywhere (messages, settings, the Port menu). On Windows port n is
// the device "\\.\COMn". On POSIX a map gives numbers to device paths: ttySk is port k+1, the
// other serial devices found (USB, ACM, rfcomm, ircomm) and paths given by the user get the
// numbers from kFirstExtraPort upwards.
inline constexpr int kMaxPortNumber = 255;
inline constexpr int kFirstExtraPort = 33;

struct MappedPort {
  int port = 0;
  std::string path;
  bool operator==(const MappedPort&) const = default;
};

// The device path that port `port` opens; empty when the number maps to no device.
std::string SerialDevicePath(int port);
// Gives a device path chosen by the user a port number and returns it; a path already mapped
// keeps its number. -1 when every number is taken.
int RegisterSerialDevicePath(std::string_view path);
// The serial ports present on this machine and the registered paths, by number.
std::vector<MappedPort> MappedSerialPorts();

// Numbers the devices the system reports: their full paths, "ttySk" entries numbered k+1 and
// the others from kFirstExtraPort in the order given. Exposed for tests.
std::vector<MappedPort> NumberSerialDevices(const std::vector<std::string>& paths);

// Platform part: the serial devices present, by path ("/dev/ttyUSB0"), and the path of a port
// number that no device of the list claims (ttyS on POSIX, "\\.\COMn" on Windows; empty if none).
std::vector<std::string> SystemSerialDevices();
std::string DefaultSerialDevicePath(int port);

}  // namespace vandrel
