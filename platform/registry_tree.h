#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry_store.h"

namespace vandrel {

// The whole content of a store in memory: keys by root and path, in the order they were made,
// each with its values in the order they were first set. A key is found in constant time.
class RegistryTree {
 public:
  struct KeyData {
    std::vector<NamedRegistryValue> values;
    bool operator==(const KeyData&) const = default;
  };
  struct Entry {
    RegistryRoot root;
    std::string path;
    KeyData data;
    bool operator==(const Entry&) const = default;
  };

  bool HasKey(RegistryRoot root, std::string_view path) const;
  // Creates the key and its missing parents.
  KeyData& CreateKey(RegistryRoot root, std::string_view path);
  const KeyData* FindKey(RegistryRoot root, std::string_view path) const;
  // Sets a value of an existing or new key (creating the key).
  void SetValue(RegistryRoot root, std::string_view path, std::string_view name,
                const RegistryValue& value);

  // Every key, parents before their children when they were made by CreateKey.
  const std::vector<Entry>& Keys() const { return entries_; }

  bool operator==(const RegistryTree&) const = default;

  // Paths are compared without regard to ASCII case and kept with the spelling first used.
  static std::string Fold(std::string_view text);

 private:
  Entry* Find(RegistryRoot root, std::string_view path);
  const Entry* Find(RegistryRoot root, std::string_view path) const;
  Entry& FindOrAdd(RegistryRoot root, std::string_view path);

  std::vector<Entry> entries_;
  // the position in entries_ of each key, by its root and folded path
  std::unordered_map<std::string, std::size_t> index_;
};

// A store held in memory only. For tests, and the base of the POSIX file store.
class MemoryRegistryStore : public RegistryStore {
 public:
  std::optional<Key> OpenKey(RegistryRoot root, std::string_view path) override;
  std::optional<Key> CreateKey(RegistryRoot root, std::string_view path) override;
  std::optional<RegistryValue> QueryValue(Key key, std::string_view name) override;
  bool SetValue(Key key, std::string_view name, const RegistryValue& value) override;
  std::uint32_t ValueCount(Key key) override;
  std::optional<NamedRegistryValue> EnumValue(Key key, std::uint32_t index) override;
  void CloseKey(Key key) override;
  void ProduceKey(RegistryRoot root, std::string_view path, KeyProducer producer) override;

  RegistryTree& Tree() { return tree_; }

 protected:
  // Runs `operation` on the tree; a store that persists reloads the tree first and, when
  // `changes` is set and the operation succeeded, saves it afterwards, all under its locks.
  virtual bool Transact(bool changes, const std::function<bool(RegistryTree&)>& operation);
  RegistryTree tree_;

 private:
  struct OpenedKey {
    RegistryRoot root;
    std::string path;
  };
  struct ProducedKey {
    RegistryRoot root;
    std::string foldedPath;
    KeyProducer producer;
  };
  std::optional<OpenedKey> Opened(Key key);
  KeyProducer Producer(RegistryRoot root, std::string_view path);
  // The key's values: produced, or read from the tree.
  std::optional<std::vector<NamedRegistryValue>> Values(Key key);
  std::optional<Key> Register(RegistryRoot root, std::string_view path);
  std::mutex keysMutex_;
  std::mutex treeMutex_;
  std::map<Key, OpenedKey> opened_;
  std::vector<ProducedKey> produced_;
  Key nextKey_ = 1;
};

}  // namespace vandrel
