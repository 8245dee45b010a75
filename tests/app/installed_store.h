#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "app/port_list.h"
#include "app/settings.h"
#include "platform/format_text.h"
#include "platform/registry_tree.h"

namespace vandrel {

// An in-memory store that the program uses for as long as it lives: a test's settings and
// serial-port key, and nothing left behind for the next test.
class InstalledStore : public MemoryRegistryStore {
 public:
  InstalledStore() { InstallRegistryStore(this); }
  ~InstalledStore() override { InstallRegistryStore(nullptr); }

  void StoreSetting(std::string_view name, const RegistryValue& value) {
    Tree().SetValue(RegistryRoot::kCurrentUser, kSettingsKey, name, value);
  }
  void StoreSetting(std::string_view name, std::uint32_t number) {
    StoreSetting(name, RegistryValue::Dword(number));
  }
  std::optional<RegistryValue> StoredSetting(std::string_view name) {
    ScopedRegistryKey key(*this, OpenKey(RegistryRoot::kCurrentUser, kSettingsKey));
    return key ? QueryValue(*key, name) : std::nullopt;
  }
};

// Makes the store's serial-port key list "COM<n>" for each of `ports`, in this order.
inline void ListSerialPorts(MemoryRegistryStore& store, std::initializer_list<int> ports) {
  for (const int port : ports) {
    store.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey,
                          FormatText("\\Device\\Serial%d", port),
                          RegistryValue::String(FormatText("COM%d", port)));
  }
}

}  // namespace vandrel
