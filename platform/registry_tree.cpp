#include "platform/registry_tree.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace vandrel {

namespace {

constexpr std::string_view kHeader = "kesta-registry 1";
constexpr std::string_view kEndMarker = "end";
constexpr std::string_view kDefaultValueName = "@";

struct RootName {
  RegistryRoot root;
  std::string_view name;
};
constexpr std::array<RootName, 3> kRootNames{{{RegistryRoot::kCurrentUser, "HKCU"},
                                              {RegistryRoot::kLocalMachine, "HKLM"},
                                              {RegistryRoot::kUsers, "HKU"}}};

std::string_view RootToName(RegistryRoot root) {
  for (const auto& entry : kRootNames)
    if (entry.root == root) return entry.name;
  return "?";
}

std::optional<RegistryRoot> RootFromName(std::string_view name) {
  for (const auto& entry : kRootNames)
    if (entry.name == name) return entry.root;
  return std::nullopt;
}

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

bool NeedsEscape(unsigned char c) {
  return c <= ' ' || c >= 0x7f || c == '%' || c == '@';
}

std::string Escape(std::string_view text) {
  if (text.empty()) return std::string(kDefaultValueName);
  std::string result;
  for (const unsigned char c : text) {
    if (NeedsEscape(c)) {
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%%%02X", c);
      result += buffer;
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

std::optional<std::uint8_t> HexByte(char high, char low) {
  const auto h = HexDigit(high);
  const auto l = HexDigit(low);
  if (!h || !l) return std::nullopt;
  return static_cast<std::uint8_t>(*h << 4 | *l);
}

std::optional<std::string> Unescape(std::string_view text) {
  if (text == kDefaultValueName) return std::string();
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      if (NeedsEscape(static_cast<unsigned char>(text[i]))) return std::nullopt;
      result += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const auto byte = HexByte(text[i + 1], text[i + 2]);
    if (!byte) return std::nullopt;
    result += static_cast<char>(*byte);
    i += 2;
  }
  return result;
}

std::string ToHex(const std::vector<std::uint8_t>& data) {
  if (data.empty()) return "-";
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string result;
  for (const std::uint8_t byte : data) {
    result += kDigits[byte >> 4];
    result += kDigits[byte & 15];
  }
  return result;
}

std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text) {
  std::vector<std::uint8_t> data;
  if (text == "-") return data;
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const auto byte = HexByte(text[i], text[i + 1]);
    if (!byte) return std::nullopt;
    data.push_back(*byte);
  }
  return data;
}

// Splits a line into exactly `count` words separated by single blanks.
template <std::size_t count>
std::optional<std::array<std::string_view, count>> SplitWords(std::string_view line) {
  std::array<std::string_view, count> words;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t blank = line.find(' ');
    const bool last = i + 1 == count;
    if (last != (blank == std::string_view::npos)) return std::nullopt;
    words[i] = line.substr(0, blank);
    if (words[i].empty()) return std::nullopt;
    if (!last) line.remove_prefix(blank + 1);
  }
  return words;
}

}  // namespace

std::string RegistryTree::Fold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

RegistryTree::Entry* RegistryTree::Find(RegistryRoot root, std::string_view path) {
  const std::string wanted = Fold(NormalisePath(path));
  for (Entry& entry : entries_)
    if (entry.root == root && Fold(entry.path) == wanted) return &entry;
  return nullptr;
}

const RegistryTree::Entry* RegistryTree::Find(RegistryRoot root, std::string_view path) const {
  return const_cast<RegistryTree*>(this)->Find(root, path);
}

RegistryTree::Entry& RegistryTree::FindOrAdd(RegistryRoot root, std::string_view path) {
  if (Entry* entry = Find(root, path)) return *entry;
  entries_.push_back({root, NormalisePath(path), {}});
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

std::string RegistryTree::Serialize() const {
  std::string text(kHeader);
  text += '\n';
  for (const Entry& entry : entries_) {
    text += "key ";
    text += RootToName(entry.root);
    text += ' ';
    text += Escape(entry.path);
    text += '\n';
    for (const NamedRegistryValue& named : entry.data.values) {
      text += "value " + Escape(named.name) + ' ' +
              std::to_string(static_cast<std::uint32_t>(named.value.type)) + ' ' +
              ToHex(named.value.data) + '\n';
    }
  }
  text += kEndMarker;
  text += '\n';
  return text;
}

std::optional<RegistryTree> RegistryTree::Parse(std::string_view text) {
  RegistryTree tree;
  Entry* current = nullptr;
  bool headerSeen = false;
  bool ended = false;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline + 1);
    if (ended) return std::nullopt;
    if (!headerSeen) {
      if (line != kHeader) return std::nullopt;
      headerSeen = true;
    } else if (line == kEndMarker) {
      ended = true;
    } else if (line.starts_with("key ")) {
      const auto words = SplitWords<3>(line);
      if (!words) return std::nullopt;
      const auto root = RootFromName((*words)[1]);
      const auto path = Unescape((*words)[2]);
      if (!root || !path || NormalisePath(*path) != *path) return std::nullopt;
      if (tree.Find(*root, *path) != nullptr) return std::nullopt;
      tree.entries_.push_back({*root, *path, {}});
      current = &tree.entries_.back();
    } else if (line.starts_with("value ")) {
      const auto words = SplitWords<4>(line);
      if (!words || current == nullptr) return std::nullopt;
      const auto name = Unescape((*words)[1]);
      std::uint32_t type = 0;
      const std::string_view typeText = (*words)[2];
      const auto parsed = std::from_chars(typeText.data(), typeText.data() + typeText.size(), type);
      const auto data = FromHex((*words)[3]);
      if (!name || parsed.ec != std::errc() || parsed.ptr != typeText.data() + typeText.size() ||
          !data)
        return std::nullopt;
      current->data.values.push_back({*name, {static_cast<RegistryType>(type), *data}});
    } else {
      return std::nullopt;
    }
  }
  if (!ended) return std::nullopt;
  return tree;
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
