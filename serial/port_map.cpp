#include "serial/port_map.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>
#include <optional>

#include "platform/registry_store.h"

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

template <typename Taken>
int FirstFreeNumber(const Taken& taken) {
  for (int port = kFirstExtraPort; port <= kMaxPortNumber; ++port) {
    if (!taken(port)) return port;
  }
  return -1;
}

}  // namespace

std::map<int, std::string> ReadKeptPortNumbers(RegistryStore& store) {
  std::map<int, std::string> kept;
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, kPortNumbersKey));
  if (!key) return kept;
  for (std::uint32_t index = 0; auto value = store.EnumValue(*key, index); ++index) {
    const std::string_view name = value->name;
    int port = 0;
    const auto [end, error] = std::from_chars(name.data() + std::min<std::size_t>(3, name.size()),
                                              name.data() + name.size(), port);
    const auto stableName = value->value.AsString();
    if (name.starts_with("COM") && error == std::errc() && end == name.data() + name.size() &&
        stableName && !stableName->empty())
      kept[port] = *stableName;
  }
  return kept;
}

void WriteKeptPortNumbers(RegistryStore& store, const std::vector<MappedPort>& ports) {
  std::vector<const MappedPort*> named;
  for (const MappedPort& mapped : ports)
    if (mapped.port >= kFirstExtraPort && !mapped.stableName.empty()) named.push_back(&mapped);
  if (named.empty()) return;
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kPortNumbersKey));
  if (!key) return;
  for (const MappedPort* mapped : named)
    store.SetValue(*key, "COM" + std::to_string(mapped->port),
                   RegistryValue::String(mapped->stableName));
}

namespace {

// The process-wide map, filled from the system and the kept numbers on first use.
class PortMap {
 public:
  std::string PathOf(int port) {
    const auto mapped = Find(port);
    return mapped ? mapped->path : DefaultSerialDevicePath(port);
  }

  std::string StableNameOf(int port) {
    const auto mapped = Find(port);
    return mapped ? mapped->stableName : std::string();
  }

  int Register(std::string_view path) {
    std::lock_guard lock(mutex_);
    Load();
    // a stable path ("/dev/serial/by-id/...") names the device it links to
    std::error_code error;
    const auto device = std::filesystem::canonical(std::filesystem::path(path), error).string();
    for (const auto* ports : {&ports_, &absent_})
      for (const auto& [port, mapped] : *ports)
        if (mapped.path == path || (!error && mapped.path == device)) return port;
    int port = FirstFreeNumber(
        [&](int number) { return ports_.contains(number) || absent_.contains(number); });
    for (int number = 1; number <= kMaxPortNumber; ++number) {
      if (!ports_.contains(number) && DefaultSerialDevicePath(number) == path) port = number;
    }
    if (port > 0) ports_[port] = {port, std::string(path), {}};
    return port;
  }

  std::vector<MappedPort> List() {
    std::lock_guard lock(mutex_);
    Load();
    std::vector<MappedPort> list;
    for (const auto& [port, mapped] : ports_) list.push_back(mapped);
    return list;
  }

 private:
  std::optional<MappedPort> Find(int port) {
    std::lock_guard lock(mutex_);
    Load();
    for (const auto* ports : {&ports_, &absent_})
      if (const auto found = ports->find(port); found != ports->end()) return found->second;
    return std::nullopt;
  }

  void Load() {
    if (loaded_) return;
    loaded_ = true;
    PortNumbering numbering = NumberSerialDevices(
        SystemSerialDevices(), ReadKeptPortNumbers(TheRegistryStore()), StableNameFolder());
    for (MappedPort& mapped : numbering.present) ports_[mapped.port] = std::move(mapped);
    for (MappedPort& mapped : numbering.absent) absent_[mapped.port] = std::move(mapped);
  }

  std::mutex mutex_;
  bool loaded_ = false;
  std::map<int, MappedPort> ports_;
  std::map<int, MappedPort> absent_;
};

PortMap& ThePortMap() {
  static PortMap map;
  return map;
}

}  // namespace

PortNumbering NumberSerialDevices(const std::vector<ListedSerialDevice>& devices,
                                  const std::map<int, std::string>& kept,
                                  const std::filesystem::path& stableFolder) {
  std::map<int, MappedPort> ports;
  std::map<std::string, int> keptNumbers;
  for (const auto& [port, name] : kept)
    if (port >= kFirstExtraPort && port <= kMaxPortNumber) keptNumbers.emplace(name, port);
  std::vector<const ListedSerialDevice*> unnumbered;
  for (const ListedSerialDevice& device : devices) {
    const int ttyS = TtySIndex(device.path);
    const auto keptNumber = keptNumbers.find(device.stableName);
    if (ttyS >= 0 && ttyS + 1 < kFirstExtraPort) {
      ports[ttyS + 1] = {ttyS + 1, device.path, device.stableName};
    } else if (!device.stableName.empty() && keptNumber != keptNumbers.end()) {
      ports[keptNumber->second] = {keptNumber->second, device.path, device.stableName};
      keptNumbers.erase(keptNumber);
    } else {
      unnumbered.push_back(&device);
    }
  }
  // what is left of keptNumbers is absent: its numbers are not given to another device
  PortNumbering numbering;
  for (const auto& [name, port] : keptNumbers)
    numbering.absent.push_back({port, (stableFolder / name).generic_string(), name});
  for (const ListedSerialDevice* device : unnumbered) {
    const int port = FirstFreeNumber([&](int number) {
      return ports.contains(number) ||
             std::ranges::any_of(numbering.absent,
                                 [&](const MappedPort& absent) { return absent.port == number; });
    });
    if (port < 0) break;
    ports[port] = {port, device->path, device->stableName};
  }
  for (auto& [port, mapped] : ports) numbering.present.push_back(std::move(mapped));
  std::ranges::sort(numbering.absent, {}, &MappedPort::port);
  return numbering;
}

std::string SerialDevicePath(int port) {
  return ThePortMap().PathOf(port);
}

int RegisterSerialDevicePath(std::string_view path) {
  return ThePortMap().Register(path);
}

std::string SerialDeviceStableName(int port) {
  return ThePortMap().StableNameOf(port);
}

std::vector<MappedPort> MappedSerialPorts() {
  return ThePortMap().List();
}

void KeepSerialPortNumbers() {
  WriteKeptPortNumbers(TheRegistryStore(), MappedSerialPorts());
}

}  // namespace vandrel
