#include "platform/legacy_registry_text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/percent_escape.h"

namespace vandrel {

namespace {

// Pairs of hexadecimal digits, or "-" for none.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  if (text == "-") return bytes;
  if (text.size() % 2 != 0) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const auto byte = HexByte(text.substr(i, 2));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

std::optional<std::string> Unescape(std::string_view text) {
  return text == "@" ? std::optional<std::string>(std::string()) : PercentDecode(text);
}

// The line's blank-separated words, when there are exactly `count`.
template <std::size_t count>
std::optional<std::array<std::string_view, count>> Words(std::string_view line) {
  std::array<std::string_view, count> words;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t blank = line.find(' ');
    if ((i + 1 == count) != (blank == std::string_view::npos)) return std::nullopt;
    words[i] = line.substr(0, blank);
    line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
  }
  return words;
}

std::optional<RegistryRoot> Root(std::string_view name) {
  if (name == "HKCU") return RegistryRoot::kCurrentUser;
  if (name == "HKLM") return RegistryRoot::kLocalMachine;
  if (name == "HKU") return RegistryRoot::kUsers;
  return std::nullopt;
}

}  // namespace

std::optional<RegistryTree> ReadLegacyRegistryText(std::string_view text) {
  constexpr std::string_view kHeader = "kesta-registry 1\n";
  if (!text.starts_with(kHeader) || !text.ends_with("\nend\n")) return std::nullopt;
  text = text.substr(kHeader.size(), text.size() - kHeader.size() - 4);
  RegistryTree tree;
  std::optional<RegistryRoot> root;
  std::string path;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline + 1);
    if (const auto key = Words<3>(line); key && (*key)[0] == "key") {
      root = Root((*key)[1]);
      const auto keyPath = Unescape((*key)[2]);
      if (!root || !keyPath) return std::nullopt;
      path = *keyPath;
      tree.CreateKey(*root, path);
    } else if (const auto value = Words<4>(line); value && (*value)[0] == "value" && root) {
      const auto name = Unescape((*value)[1]);
      std::uint32_t type = 0;
      const std::string_view typeText = (*value)[2];
      const auto parsed = std::from_chars(typeText.data(), typeText.data() + typeText.size(), type);
      const auto data = HexBytes((*value)[3]);
      if (!name || parsed.ec != std::errc() || !data) return std::nullopt;
      tree.SetValue(*root, path, *name, {static_cast<RegistryType>(type), *data});
    } else {
      return std::nullopt;
    }
  }
  return tree;
}

}  // namespace vandrel
