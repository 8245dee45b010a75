#pragma once

#include <optional>
#include <string_view>

#include "platform/registry_tree.h"

namespace vandrel {

// The settings file of earlier versions ("kesta-registry 1": "key HKCU <path>" and
// "value <name> <type> <hex>" lines up to an "end" line, names and paths with %XX escapes),
// read once to carry its settings into today's file. nullopt when `text` is not such a file
// or was cut short.
std::optional<RegistryTree> ReadLegacyRegistryText(std::string_view text);

}  // namespace vandrel
