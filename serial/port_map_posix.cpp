#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <string_view>

#include "serial/port_map.h"

namespace vandrel {

namespace {

constexpr std::string_view kUartPrefix = "ttyS";
// Serial devices that exist only when their hardware does.
constexpr std::array<std::string_view, 4> kHotplugPrefixes = {"ttyUSB", "ttyACM", "rfcomm",
                                                              "ircomm"};

// The kernel makes a ttyS for every possible UART; sysfs gives the type of the one behind it,
// 0 when there is none. Nothing is opened: opening a port raises its modem lines.
bool UartPresent(const std::filesystem::path& ttyFolder) {
  std::ifstream typeFile(ttyFolder / "type");
  int type = 0;
  return static_cast<bool>(typeFile >> type) && type != 0;
}

// Device name ("ttyUSB0") -> stable name, from the links of the stable-name folder.
std::map<std::string, std::string> StableNames(const std::filesystem::path& folder) {
  std::map<std::string, std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const auto target = std::filesystem::read_symlink(entry.path(), error);
    if (!error) names[target.filename().string()] = entry.path().filename().string();
  }
  return names;
}

}  // namespace

std::vector<ListedSerialDevice> ListSerialDevices(const std::filesystem::path& sys,
                                                  const std::filesystem::path& dev) {
  const auto stableNames = StableNames(dev / "serial" / "by-id");
  std::vector<std::string> uarts;
  std::vector<std::string> hotplug;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(sys / "class" / "tty", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(kUartPrefix)) {
      if (UartPresent(entry.path())) uarts.push_back(name);
    } else if (std::ranges::any_of(kHotplugPrefixes, [&](std::string_view prefix) {
                 return name.starts_with(prefix);
               })) {
      hotplug.push_back(name);
    }
  }
  std::ranges::sort(hotplug);
  uarts.insert(uarts.end(), hotplug.begin(), hotplug.end());
  std::vector<ListedSerialDevice> devices;
  for (const std::string& name : uarts) {
    const auto stable = stableNames.find(name);
    devices.push_back(
        {(dev / name).string(), stable != stableNames.end() ? stable->second : std::string()});
  }
  return devices;
}

std::vector<ListedSerialDevice> SystemSerialDevices() {
  return ListSerialDevices("/sys", "/dev");
}

std::filesystem::path StableNameFolder() {
  return "/dev/serial/by-id";
}

std::string DefaultSerialDevicePath(int port) {
  if (port < 1 || port >= kFirstExtraPort) return {};
  return "/dev/" + std::string(kUartPrefix) + std::to_string(port - 1);
}

}  // namespace vandrel
