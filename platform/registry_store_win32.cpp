#include <windows.h>

#include <cstring>

#include "platform/registry_store.h"
#include "platform/utf16.h"

namespace vandrel {

namespace {

constexpr int kEnumAttempts = 3;

// Values cross the API as UTF-16; string data is handed to the program as UTF-8 with or without
// its terminating zero exactly as stored, so that "No" plus its zero still measures 3 bytes.
std::vector<std::uint8_t> StringDataFromWide(const std::vector<std::uint8_t>& raw) {
  std::wstring wide(raw.size() / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
  const std::string narrow = Narrow(wide);
  return {narrow.begin(), narrow.end()};
}

std::vector<std::uint8_t> WideDataFromString(const std::vector<std::uint8_t>& data) {
  const std::wstring wide =
      Widen(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  std::vector<std::uint8_t> raw(wide.size() * sizeof(wchar_t));
  std::memcpy(raw.data(), wide.data(), raw.size());
  return raw;
}

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers:
      return HKEY_USERS;
  }
  return HKEY_CURRENT_USER;
}

HKEY Handle(RegistryStore::Key key) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

RegistryStore::Key KeyOf(HKEY handle) {
  return static_cast<RegistryStore::Key>(reinterpret_cast<ULONG_PTR>(handle));
}

class Win32RegistryStore final : public RegistryStore {
 public:
  std::optional<Key> OpenKey(RegistryRoot root, std::string_view path) override {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(RootHandle(root), Widen(path).c_str(), 0, KEY_ALL_ACCESS, &handle) !=
            ERROR_SUCCESS &&
        RegOpenKeyExW(RootHandle(root), Widen(path).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
      return std::nullopt;
    return KeyOf(handle);
  }

  std::optional<Key> CreateKey(RegistryRoot root, std::string_view path) override {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(RootHandle(root), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
      return std::nullopt;
    return KeyOf(handle);
  }

  std::optional<RegistryValue> QueryValue(Key key, std::string_view name) override {
    const std::wstring wideName = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(Handle(key), wideName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    std::vector<std::uint8_t> raw(size);
    if (RegQueryValueExW(Handle(key), wideName.c_str(), nullptr, &type, raw.data(), &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    raw.resize(size);
    return ToValue(type, raw);
  }

  bool SetValue(Key key, std::string_view name, const RegistryValue& value) override {
    const auto type = static_cast<DWORD>(value.type);
    const std::vector<std::uint8_t> raw =
        IsStringType(type) ? WideDataFromString(value.data) : value.data;
    return RegSetValueExW(Handle(key), Widen(name).c_str(), 0, type, raw.data(),
                          static_cast<DWORD>(raw.size())) == ERROR_SUCCESS;
  }

  std::uint32_t ValueCount(Key key) override {
    DWORD count = 0;
    if (RegQueryInfoKeyW(Handle(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return 0;
    return count;
  }

  std::optional<NamedRegistryValue> EnumValue(Key key, std::uint32_t index) override {
    // A value that grows between measuring the key and reading it is measured again.
    for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
      DWORD nameLength = 0;
      DWORD dataSize = 0;
      if (RegQueryInfoKeyW(Handle(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, &nameLength, &dataSize, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
      std::wstring name(nameLength + 1, L'\0');
      std::vector<std::uint8_t> raw(dataSize);
      DWORD nameSize = nameLength + 1;
      DWORD type = 0;
      const LONG result = RegEnumValueW(Handle(key), index, name.data(), &nameSize, nullptr, &type,
                                        raw.data(), &dataSize);
      if (result == ERROR_MORE_DATA) continue;
      if (result != ERROR_SUCCESS) return std::nullopt;
      name.resize(nameSize);
      raw.resize(dataSize);
      return NamedRegistryValue{Narrow(name), ToValue(type, raw)};
    }
    return std::nullopt;
  }

  void CloseKey(Key key) override { RegCloseKey(Handle(key)); }

  void ProduceKey(RegistryRoot, std::string_view, KeyProducer) override {}

 private:
  static RegistryValue ToValue(DWORD type, const std::vector<std::uint8_t>& raw) {
    return {static_cast<RegistryType>(type), IsStringType(type) ? StringDataFromWide(raw) : raw};
  }
};

}  // namespace

RegistryStore& PlatformRegistryStore() {
  static Win32RegistryStore store;
  return store;
}

}  // namespace vandrel
