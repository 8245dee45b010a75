#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

enum class RegistryRoot { kCurrentUser, kLocalMachine, kUsers };

// The value types this program stores; the numbers are the system's own type codes.
enum class RegistryType : std::uint32_t { kString = 1, kBinary = 3, kDword = 4 };

// A value is its type and its exact bytes: a string keeps its terminating zero, a DWORD is four
// little-endian bytes, and readers that depend on an exact size see that size.
struct RegistryValue {
  RegistryType type = RegistryType::kBinary;
  std::vector<std::uint8_t> data;

  static RegistryValue String(std::string_view text);
  static RegistryValue Dword(std::uint32_t number);
  // The text of a string value, up to its first zero; nullopt for other types.
  std::optional<std::string> AsString() const;
  // The number of a DWORD value of exactly four bytes; nullopt otherwise.
  std::optional<std::uint32_t> AsDword() const;
  bool operator==(const RegistryValue&) const = default;
};

struct NamedRegistryValue {
  std::string name;
  RegistryValue value;
  bool operator==(const NamedRegistryValue&) const = default;
};

// Keys and values under the three roots, reached by backslash-separated paths compared without
// regard to ASCII case. Keys are opened, used and closed like the system registry's handles.
class RegistryStore {
 public:
  using Key = std::uint64_t;

  virtual ~RegistryStore() = default;
  // An existing key; nullopt when it does not exist.
  virtual std::optional<Key> OpenKey(RegistryRoot root, std::string_view path) = 0;
  // The key, created with every missing parent.
  virtual std::optional<Key> CreateKey(RegistryRoot root, std::string_view path) = 0;
  virtual std::optional<RegistryValue> QueryValue(Key key, std::string_view name) = 0;
  virtual bool SetValue(Key key, std::string_view name, const RegistryValue& value) = 0;
  // The number of the key's values when it is asked.
  virtual std::uint32_t ValueCount(Key key) = 0;
  // The value at `index` in the key's order; nullopt past the last one, and for a value that
  // cannot be read (or changed while it was read), after which the next index still answers.
  virtual std::optional<NamedRegistryValue> EnumValue(Key key, std::uint32_t index) = 0;
  virtual void CloseKey(Key key) = 0;

  // Makes the store answer for a key whose values the program works out when they are read
  // instead of storing them (on POSIX, the serial ports of the machine). A store backed by the
  // system registry, which holds such keys itself, ignores it.
  using KeyProducer = std::function<std::vector<NamedRegistryValue>()>;
  virtual void ProduceKey(RegistryRoot root, std::string_view path, KeyProducer producer) = 0;
};

// The store chosen at start-up: the system registry on Windows, the per-user file on POSIX.
RegistryStore& TheRegistryStore();
// Installs `store` (nullptr restores the platform's own). The caller keeps it alive while
// installed.
void InstallRegistryStore(RegistryStore* store);
// The platform's own store, created on first use.
RegistryStore& PlatformRegistryStore();

// Closes its key when it goes out of scope.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey(RegistryStore& store, std::optional<RegistryStore::Key> key)
      : store_(store), key_(key) {}
  ~ScopedRegistryKey() {
    if (key_) store_.CloseKey(*key_);
  }
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

  explicit operator bool() const { return key_.has_value(); }
  RegistryStore::Key operator*() const { return *key_; }

 private:
  RegistryStore& store_;
  std::optional<RegistryStore::Key> key_;
};

}  // namespace vandrel
