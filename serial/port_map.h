#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_store.h"

namespace vandrel {

// Ports are known by number everywhere (messages, settings, the Port menu). On Windows port n is
// the device "\\.\COMn". On POSIX a map gives numbers to device paths: ttySk is port k+1, the
// other serial devices found (USB, ACM, rfcomm, ircomm) and paths given by the user get the
// numbers from kFirstExtraPort upwards. A device with a stable name (its link in
// /dev/serial/by-id) keeps the number it was given once a port is stored: the numbers are kept
// with those names in the settings, and a kept number whose device is absent stays its own,
// named by its stable path.
inline constexpr int kMaxPortNumber = 255;
inline constexpr int kFirstExtraPort = 33;
// "COM<n>" = the stable name of the device given number n
inline constexpr const char* kPortNumbersKey = "Software\\Kesta\\vandrel\\Ports";

// A serial device the system reports: its path ("/dev/ttyUSB0") and its stable name, when it has
// one ("usb-Maker_Cable_A1-if00-port0").
struct ListedSerialDevice {
  std::string path;
  std::string stableName;
  bool operator==(const ListedSerialDevice&) const = default;
};

struct MappedPort {
  int port = 0;
  std::string path;
  std::string stableName;
  bool operator==(const MappedPort&) const = default;
};

// The numbers of the devices present, and the kept numbers whose device is absent (their path is
// the device's stable path, which does not exist now).
struct PortNumbering {
  std::vector<MappedPort> present;
  std::vector<MappedPort> absent;
};

// The device path that port `port` opens; empty when the number maps to no device.
std::string SerialDevicePath(int port);
// Gives a device path chosen by the user a port number and returns it; a path already mapped
// keeps its number. -1 when every number is taken.
int RegisterSerialDevicePath(std::string_view path);
// The stable name of the device of port `port`; empty when it has none.
std::string SerialDeviceStableName(int port);
// The serial ports present on this machine and the registered paths, by number.
std::vector<MappedPort> MappedSerialPorts();
// Keeps the numbers of the devices present that have a stable name in the settings, for every
// later start.
void KeepSerialPortNumbers();

// The numbers kept in `store` (number -> stable name), and keeping the numbers of `ports` that
// have a stable name (from kFirstExtraPort up: the others never change). Exposed for tests.
std::map<int, std::string> ReadKeptPortNumbers(RegistryStore& store);
void WriteKeptPortNumbers(RegistryStore& store, const std::vector<MappedPort>& ports);

// Numbers the devices the system reports: "ttySk" entries k+1, a device whose stable name has a
// number in `kept` (number -> stable name) that number, the others the lowest numbers from
// kFirstExtraPort that no kept name holds, in the order given. A kept number whose device is
// absent maps to `stableFolder`/its name. Exposed for tests.
PortNumbering NumberSerialDevices(const std::vector<ListedSerialDevice>& devices,
                                  const std::map<int, std::string>& kept,
                                  const std::filesystem::path& stableFolder);

// Platform part: the serial devices present, the folder of their stable names (empty if none),
// and the path of a port number that no device of the list claims (ttyS on POSIX, "\\.\COMn"
// on Windows; empty if none).
std::vector<ListedSerialDevice> SystemSerialDevices();
std::filesystem::path StableNameFolder();
std::string DefaultSerialDevicePath(int port);
// The serial devices under the system folder `sys` ("/sys") and the device folder `dev`
// ("/dev"): a ttyS only when sysfs gives its UART a type, USB, ACM, rfcomm and ircomm devices,
// each with its name in dev/serial/by-id when it has one. POSIX only; exposed for tests.
std::vector<ListedSerialDevice> ListSerialDevices(const std::filesystem::path& sys,
                                                  const std::filesystem::path& dev);

}  // namespace vandrel
