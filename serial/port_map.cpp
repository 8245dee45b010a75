#include "serial/port_map.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>

namespace vandrel {

namespace {

constexpr std::string_view kNumberedPrefix = "ttyS";

// The k of a path ending in "ttySk", or -1.
int TtySIndex(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (!name.starts_with(kNumberedPrefix) || name.size() == kNumberedPrefix.size()) return -1;
  int index = -1;
  const std::string_view digits = name.substr(kNumberedPrefix.size());
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  return error == std::errc() && end == digits.data() + digits.size() ? index : -1;
}

int FirstFreeNumber(const std::map<int, std::string>& ports) {
  for (int port = kFirstExtraPort; port <= kMaxPortNumber; ++port) {
    if (!ports.contains(port)) return port;
  }
  return -1;
}

// The process-wide map, filled from the system on first use.
class PortMap {
 public:
  std::string PathOf(int port) {
    std::lock_guard lock(mutex_);
    Load();
    const auto found = ports_.find(port);
    return found != ports_.end() ? found->second : DefaultSerialDevicePath(port);
  }

  int Register(std::string_view path) {
    std::lock_guard lock(mutex_);
    Load();
    for (const auto& [port, mapped] : ports_) {
      if (mapped == path) return port;
    }
    int port = FirstFreeNumber(ports_);
    for (int number = 1; number <= kMaxPortNumber; ++number) {
      if (!ports_.contains(number) && DefaultSerialDevicePath(number) == path) port = number;
    }
    if (port > 0) ports_[port] = std::string(path);
    return port;
  }

  std::vector<MappedPort> List() {
    std::lock_guard lock(mutex_);
    Load();
    std::vector<MappedPort> list;
    for (const auto& [port, path] : ports_) list.push_back({port, path});
    return list;
  }

 private:
  void Load() {
    if (loaded_) return;
    loaded_ = true;
    for (MappedPort& mapped : NumberSerialDevices(SystemSerialDevices())) {
      ports_[mapped.port] = std::move(mapped.path);
    }
  }

  std::mutex mutex_;
  bool loaded_ = false;
  std::map<int, std::string> ports_;
};

PortMap& ThePortMap() {
  static PortMap map;
  return map;
}

}  // namespace

std::vector<MappedPort> NumberSerialDevices(const std::vector<std::string>& paths) {
  std::map<int, std::string> ports;
  std::vector<std::string> extras;
  for (const std::string& path : paths) {
    const int ttyS = TtySIndex(path);
    if (ttyS >= 0 && ttyS + 1 < kFirstExtraPort) {
      ports[ttyS + 1] = path;
    } else {
      extras.push_back(path);
    }
  }
  for (std::string& path : extras) {
    const int port = FirstFreeNumber(ports);
    if (port < 0) break;
    ports[port] = std::move(path);
  }
  std::vector<MappedPort> list;
  for (auto& [port, path] : ports) list.push_back({port, std::move(path)});
  return list;
}

std::string SerialDevicePath(int port) {
  return ThePortMap().PathOf(port);
}

int RegisterSerialDevicePath(std::string_view path) {
  return ThePortMap().Register(path);
}

std::vector<MappedPort> MappedSerialPorts() {
  return ThePortMap().List();
}

}  // namespace vandrel
