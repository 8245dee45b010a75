#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/registry_tree.h"

namespace vandrel {

// The settings file's text, meant to be read and edited by a person: one INI section per key
// that holds values ("[vandrel\Settings]" for HKCU\Software\Kesta\vandrel\Settings, the root
// written first for any other key: "[HKLM\Hardware]") and one line per value; keys without values
// are not kept, but every parent of a key is. A string is written in
// quotes, a four-byte DWORD as "dword:<decimal>", anything else (and a string that a line
// cannot carry as it is) as "hex:" bytes, or "hex(<type>):" for another type, continued on
// indented lines after a trailing comma. Names and paths that hold the file's own punctuation
// carry it as %XX; an empty value name is "@". Every value comes back with its type and exact
// bytes. Reading also takes what a person types: CRLF line ends, comments, blank lines, an
// unquoted text (a string) or number (a DWORD); a name given twice keeps its last value.
// nullopt when a section or a name would be longer than the reader takes (48 characters).
std::optional<std::string> RegistryTreeToIni(const RegistryTree& tree);

// The line of the first fault of a text that is not a settings file.
struct IniFault {
  std::size_t line = 0;
};
std::variant<RegistryTree, IniFault> RegistryTreeFromIni(std::string_view text);

}  // namespace vandrel
