#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "serial/port_map.h"

namespace vandrel {

namespace {

constexpr std::string_view kDeviceFolder = "/dev";
constexpr std::string_view kUartPrefix = "ttyS";
// Serial devices that exist only when their hardware does.
constexpr std::array<std::string_view, 4> kHotplugPrefixes = {"ttyUSB", "ttyACM", "rfcomm",
                                                              "ircomm"};

// The kernel creates ttyS nodes whether or not a UART sits behind them; only a known port type
// means there is one.
bool UartPresent(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool present = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return present;
}

}  // namespace

std::vector<std::string> SystemSerialDevices() {
  std::vector<std::string> uarts;
  std::vector<std::string> hotplug;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kDeviceFolder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(kUartPrefix)) {
      if (UartPresent(entry.path().string())) uarts.push_back(entry.path().string());
    } else if (std::ranges::any_of(kHotplugPrefixes, [&](std::string_view prefix) {
                 return name.starts_with(prefix);
               })) {
      hotplug.push_back(entry.path().string());
    }
  }
  std::ranges::sort(hotplug);
  uarts.insert(uarts.end(), hotplug.begin(), hotplug.end());
  return uarts;
}

std::string DefaultSerialDevicePath(int port) {
  if (port < 1 || port >= kFirstExtraPort) return {};
  return std::string(kDeviceFolder) + "/" + std::string(kUartPrefix) + std::to_string(port - 1);
}

}  // namespace vandrel
