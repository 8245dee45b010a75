#include "platform/ini_registry_text.h"

#include <ini.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>

#include "platform/percent_escape.h"

namespace vandrel {

namespace {

// Lines stay well inside the reader's line buffer, which cuts longer lines in pieces, and
// sections and names inside its buffers for them, which cut longer ones short.
constexpr std::size_t kLongestWrittenLine = 76;
constexpr std::size_t kLongestName = 48;
// the maker's own keys, written without it
constexpr std::string_view kOwnKeys = "HKCU\\Software\\Kesta\\";
constexpr std::string_view kDefaultValueName = "@";
constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kHexPrefix = "hex";
constexpr std::string_view kHeading =
    "; Vandrel's settings, shared by the window and vandrel-cli. You may edit this file while\n"
    "; Vandrel is not running: strings in quotes, numbers as dword:<decimal>, bytes as hex.\n";

struct RootName {
  RegistryRoot root;
  std::string_view name;
};
constexpr std::array<RootName, 3> kRootNames{{{RegistryRoot::kCurrentUser, "HKCU"},
                                              {RegistryRoot::kLocalMachine, "HKLM"},
                                              {RegistryRoot::kUsers, "HKU"}}};

// The file's own punctuation, blanks and control characters do not appear as they are in a
// name or a key's path.
bool NeedsEscape(unsigned char c) {
  return c <= ' ' || c == 0x7f || std::strchr("%=:;#[]\"@", c) != nullptr;
}

std::string Escape(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string result;
  for (const unsigned char c : text) {
    if (NeedsEscape(c)) {
      result += '%';
      result += kDigits[c >> 4];
      result += kDigits[c & 15];
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A string the line carries between quotes: its one terminating zero, nothing the reader
// would take for a line end or an inline comment.
bool IsQuotable(const RegistryValue& value) {
  if (value.type != RegistryType::kString || value.data.empty() || value.data.back() != 0)
    return false;
  for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
    const std::uint8_t c = value.data[i];
    if (c < ' ' || c == 0x7f) return false;
    if (c == ';' && i > 0 && value.data[i - 1] == ' ') return false;
  }
  return true;
}

std::string HexForm(const RegistryValue& value) {
  return std::string(kHexPrefix) +
         (value.type == RegistryType::kBinary
              ? std::string()
              : "(" + std::to_string(static_cast<std::uint32_t>(value.type)) + ")") +
         ':';
}

bool AppendValue(std::string& text, const NamedRegistryValue& named) {
  const std::string name = named.name.empty() ? std::string(kDefaultValueName) : Escape(named.name);
  if (name.size() > kLongestName) return false;
  std::string line = name + " = ";
  const RegistryValue& value = named.value;
  const auto dword = value.AsDword();
  if (dword) {
    line += std::string(kDwordPrefix) + std::to_string(*dword);
  } else if (IsQuotable(value) && line.size() + value.data.size() + 1 <= kLongestWrittenLine) {
    line += '"';
    line.append(value.data.begin(), value.data.end() - 1);
    line += '"';
  } else {
    static constexpr char kDigits[] = "0123456789abcdef";
    line += HexForm(value);
    for (std::size_t i = 0; i < value.data.size(); ++i) {
      if (line.size() + 3 > kLongestWrittenLine) {
        text += line + '\n';
        line = "  ";
      }
      line += kDigits[value.data[i] >> 4];
      line += kDigits[value.data[i] & 15];
      if (i + 1 < value.data.size()) line += ',';
    }
  }
  text += line + '\n';
  return true;
}

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  while (!Trim(text).empty()) {
    const std::size_t comma = text.find(',');
    const auto byte = HexByte(Trim(text.substr(0, comma)));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return bytes;
}

std::optional<std::uint32_t> Decimal(std::string_view text) {
  std::uint32_t number = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size())
    return std::nullopt;
  return number;
}

// "hex:..." or "hex(<type>):...": the value, or nullopt for a malformed one.
std::optional<RegistryValue> HexValue(std::string_view text) {
  text.remove_prefix(kHexPrefix.size());
  RegistryType type = RegistryType::kBinary;
  if (text.starts_with('(')) {
    const std::size_t close = text.find(')');
    const auto number = Decimal(text.substr(1, close == std::string_view::npos ? 0 : close - 1));
    if (!number) return std::nullopt;
    type = static_cast<RegistryType>(*number);
    text.remove_prefix(close + 1);
  }
  if (!text.starts_with(':')) return std::nullopt;
  const auto bytes = HexBytes(text.substr(1));
  if (!bytes) return std::nullopt;
  return RegistryValue{type, *bytes};
}

std::optional<RegistryValue> ParseValue(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return RegistryValue::String(text.substr(1, text.size() - 2));
  if (text.starts_with(kDwordPrefix)) {
    const auto number = Decimal(text.substr(kDwordPrefix.size()));
    if (!number) return std::nullopt;
    return RegistryValue::Dword(*number);
  }
  if (text.starts_with(kHexPrefix)) return HexValue(text);
  if (const auto number = Decimal(text)) return RegistryValue::Dword(*number);
  return RegistryValue::String(text);
}

struct Section {
  RegistryRoot root;
  std::string path;
};

const RootName* FindRoot(std::string_view name) {
  const auto root = std::find_if(kRootNames.begin(), kRootNames.end(),
                                 [&](const RootName& entry) { return entry.name == name; });
  return root != kRootNames.end() ? &*root : nullptr;
}

// "HKCU\Software\Kesta\vandrel\Settings" as "vandrel\Settings"; a key of the maker's whose
// first name is a root's keeps its whole path.
std::string SectionName(const RegistryTree::Entry& key) {
  std::string name(std::find_if(kRootNames.begin(), kRootNames.end(), [&](const RootName& entry) {
                     return entry.root == key.root;
                   })->name);
  if (!key.path.empty()) name += '\\' + Escape(key.path);
  const std::string_view own(name);
  if (own.starts_with(kOwnKeys) &&
      FindRoot(own.substr(kOwnKeys.size(), own.find('\\', kOwnKeys.size()) - kOwnKeys.size())) ==
          nullptr)
    return name.substr(kOwnKeys.size());
  return name;
}

std::optional<Section> ParseSection(std::string_view text) {
  const std::size_t separator = text.find('\\');
  const RootName* root = FindRoot(text.substr(0, separator));
  if (root == nullptr) {
    const auto own = ParseSection(std::string(kOwnKeys) + std::string(text));
    return own && !own->path.empty() ? own : std::nullopt;
  }
  const auto path = PercentDecode(separator == std::string_view::npos ? std::string_view()
                                                                      : text.substr(separator));
  if (!path) return std::nullopt;
  return Section{root->root, *path};
}

// The text in lines for the INI reader, noting a line too long for its buffer (which would
// otherwise be read as two lines).
struct LineSource {
  std::string_view rest;
  std::size_t line = 0;
  std::size_t longLine = 0;
};

char* ReadLine(char* buffer, int size, void* stream) {
  auto& source = *static_cast<LineSource*>(stream);
  if (source.rest.empty()) return nullptr;
  ++source.line;
  const std::size_t end = std::min(source.rest.find('\n'), source.rest.size() - 1) + 1;
  if (end >= static_cast<std::size_t>(size) && source.longLine == 0) source.longLine = source.line;
  const std::size_t taken = std::min(end, static_cast<std::size_t>(size) - 1);
  std::memcpy(buffer, source.rest.data(), taken);
  buffer[taken] = '\0';
  source.rest.remove_prefix(end);
  return buffer;
}

struct Reading {
  RegistryTree tree;
  std::string sectionText;
  std::optional<Section> section;
  // a hex value whose text ended in a comma continues on the next indented line
  std::string lastName;
  std::string pendingHex;
};

int OnValue(void* user, const char* sectionText, const char* nameText, const char* valueText) {
  auto& reading = *static_cast<Reading*>(user);
  if (std::strlen(sectionText) > kLongestName || std::strlen(nameText) > kLongestName) return 0;
  if (sectionText != reading.sectionText || !reading.section) {
    reading.section = ParseSection(sectionText);
    reading.sectionText = sectionText;
    reading.pendingHex.clear();
    if (!reading.section) return 0;
  }
  const auto name = std::string_view(nameText) == kDefaultValueName
                        ? std::optional<std::string>(std::string())
                        : PercentDecode(nameText);
  if (!name) return 0;
  std::string text = valueText;
  if (!reading.pendingHex.empty() && reading.lastName == *name) text = reading.pendingHex + text;
  const auto value = ParseValue(text);
  if (!value) return 0;
  const bool continues = text.starts_with(kHexPrefix) && text.ends_with(',');
  reading.pendingHex = continues ? text : std::string();
  reading.lastName = *name;
  reading.tree.SetValue(reading.section->root, reading.section->path, *name, *value);
  return 1;
}

}  // namespace

std::optional<std::string> RegistryTreeToIni(const RegistryTree& tree) {
  std::string text(kHeading);
  for (const RegistryTree::Entry& key : tree.Keys()) {
    if (key.data.values.empty()) continue;
    const std::string section = SectionName(key);
    if (section.size() > kLongestName) return std::nullopt;
    text += "\n[" + section + "]\n";
    for (const NamedRegistryValue& named : key.data.values)
      if (!AppendValue(text, named)) return std::nullopt;
  }
  return text;
}

std::variant<RegistryTree, IniFault> RegistryTreeFromIni(std::string_view text) {
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos)
    return IniFault{static_cast<std::size_t>(std::count(text.begin(), text.begin() + zero, '\n')) +
                    1};
  LineSource source{text};
  Reading reading;
  const int faultLine = ini_parse_stream(ReadLine, &source, OnValue, &reading);
  if (source.longLine != 0) return IniFault{source.longLine};
  if (faultLine != 0) return IniFault{static_cast<std::size_t>(std::max(faultLine, 1))};
  return std::move(reading.tree);
}

}  // namespace vandrel
