#include "platform/registry_tree.h"

#include <algorithm>

namespace vandrel {

namespace {

// Empty components (a trailing backslash, doubled separators) do not name keys.
std::string NormalisePath(std::string_view path) {
  std::string result;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) {
      if (!result.empty()) result += '\\';
      result.append(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return result;
}

std::string IndexName(RegistryRoot root, std::string_view normalPath) {
  return std::to_string(static_cast<int>(root)) + ':' + RegistryTree::Fold(normalPath);
}

}  // namespace

std::string RegistryTree::Fold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

RegistryTree::Entry* RegistryTree::Find(RegistryRoot root, std::string_view path) {
  const auto found = index_.find(IndexName(root, NormalisePath(path)));
  return found != index_.end() ? &entries_[found->second] : nullptr;
}

const RegistryTree::Entry* RegistryTree::Find(RegistryRoot root, std::string_view path) const {
  return const_cast<RegistryTree*>(this)->Find(root, path);
}

RegistryTree::Entry& RegistryTree::FindOrAdd(RegistryRoot root, std::string_view path) {
  if (Entry* entry = Find(root, path)) return *entry;
  std::string normal = NormalisePath(path);
  index_.emplace(IndexName(root, normal), entries_.size());
  entries_.push_back({root, std::move(normal), {}});
  return entries_.back();
}

bool RegistryTree::HasKey(RegistryRoot root, std::string_view path) const {
  return NormalisePath(path).empty() || Find(root, path) != nullptr;
}

RegistryTree::KeyData& RegistryTree::CreateKey(RegistryRoot root, std::string_view path) {
  const std::string normal = NormalisePath(path);
  for (std::size_t separator = normal.find('\\'); separator != std::string::npos;
       separator = normal.find('\\', separator + 1))
    FindOrAdd(root, normal.substr(0, separator));
  return FindOrAdd(root, normal).data;
}

const RegistryTree::KeyData* RegistryTree::FindKey(RegistryRoot root, std::string_view path) const {
  const Entry* entry = Find(root, path);
  return entry != nullptr ? &entry->data : nullptr;
}

void RegistryTree::SetValue(RegistryRoot root, std::string_view path, std::string_view name,
                            const RegistryValue& value) {
  KeyData& key = CreateKey(root, path);
  const std::string folded = Fold(name);
  for (NamedRegistryValue& existing : key.values) {
    if (Fold(existing.name) == folded) {
      existing.value = value;
      return;
    }
  }
  key.values.push_back({std::string(name), value});
}

bool MemoryRegistryStore::Transact(bool, const std::function<bool(RegistryTree&)>& operation) {
  std::lock_guard lock(treeMutex_);
  return operation(tree_);
}

std::optional<RegistryStore::Key> MemoryRegistryStore::Register(RegistryRoot root,
                                                                std::string_view path) {
  std::lock_guard lock(keysMutex_);
  const Key key = nextKey_++;
  opened_[key] = {root, std::string(path)};
  return key;
}

std::optional<MemoryRegistryStore::OpenedKey> MemoryRegistryStore::Opened(Key key) {
  std::lock_guard lock(keysMutex_);
  const auto found = opened_.find(key);
  if (found == opened_.end()) return std::nullopt;
  return found->second;
}

std::optional<RegistryStore::Key> MemoryRegistryStore::OpenKey(RegistryRoot root,
                                                               std::string_view path) {
  const bool exists = Producer(root, path) != nullptr ||
                      Transact(false, [&](RegistryTree& tree) { return tree.HasKey(root, path); });
  if (!exists) return std::nullopt;
  return Register(root, path);
}

std::optional<RegistryStore::Key> MemoryRegistryStore::CreateKey(RegistryRoot root,
                                                                 std::string_view path) {
  const bool created = Transact(true, [&](RegistryTree& tree) {
    tree.CreateKey(root, path);
    return true;
  });
  if (!created) return std::nullopt;
  return Register(root, path);
}

std::optional<RegistryValue> MemoryRegistryStore::QueryValue(Key key, std::string_view name) {
  const auto values = Values(key);
  if (!values) return std::nullopt;
  const std::string folded = RegistryTree::Fold(name);
  for (const auto& named : *values)
    if (RegistryTree::Fold(named.name) == folded) return named.value;
  return std::nullopt;
}

bool MemoryRegistryStore::SetValue(Key key, std::string_view name, const RegistryValue& value) {
  const auto opened = Opened(key);
  if (!opened) return false;
  return Transact(true, [&](RegistryTree& tree) {
    tree.SetValue(opened->root, opened->path, name, value);
    return true;
  });
}

std::uint32_t MemoryRegistryStore::ValueCount(Key key) {
  const auto values = Values(key);
  return values ? static_cast<std::uint32_t>(values->size()) : 0;
}

std::optional<NamedRegistryValue> MemoryRegistryStore::EnumValue(Key key, std::uint32_t index) {
  const auto values = Values(key);
  if (!values || index >= values->size()) return std::nullopt;
  return (*values)[index];
}

std::optional<std::vector<NamedRegistryValue>> MemoryRegistryStore::Values(Key key) {
  const auto opened = Opened(key);
  if (!opened) return std::nullopt;
  if (const KeyProducer producer = Producer(opened->root, opened->path)) return producer();
  std::vector<NamedRegistryValue> values;
  Transact(false, [&](RegistryTree& tree) {
    if (const auto* data = tree.FindKey(opened->root, opened->path)) values = data->values;
    return true;
  });
  return values;
}

void MemoryRegistryStore::ProduceKey(RegistryRoot root, std::string_view path,
                                     KeyProducer producer) {
  std::lock_guard lock(keysMutex_);
  produced_.push_back({root, RegistryTree::Fold(NormalisePath(path)), std::move(producer)});
}

RegistryStore::KeyProducer MemoryRegistryStore::Producer(RegistryRoot root, std::string_view path) {
  std::lock_guard lock(keysMutex_);
  const std::string folded = RegistryTree::Fold(NormalisePath(path));
  for (const ProducedKey& key : produced_)
    if (key.root == root && key.foldedPath == folded) return key.producer;
  return {};
}

void MemoryRegistryStore::CloseKey(Key key) {
  std::lock_guard lock(keysMutex_);
  opened_.erase(key);
}

}  // namespace vandrel
