#include <string>

#include "serial/port_map.h"

namespace vandrel {

// The Port menu reads the machine's ports from the registry; the map itself only holds paths the
// user gave.
std::vector<ListedSerialDevice> SystemSerialDevices() {
  return {};
}

std::filesystem::path StableNameFolder() {
  return {};
}

std::string DefaultSerialDevicePath(int port) {
  if (port < 1 || port > kMaxPortNumber) return {};
  return "\\\\.\\COM" + std::to_string(port);
}

}  // namespace vandrel
