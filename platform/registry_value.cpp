#include <cstring>

#include "platform/registry_store.h"

namespace vandrel {

RegistryValue RegistryValue::String(std::string_view text) {
  RegistryValue value{RegistryType::kString, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

RegistryValue RegistryValue::Dword(std::uint32_t number) {
  return {RegistryType::kDword,
          {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
           static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::string> RegistryValue::AsString() const {
  if (type != RegistryType::kString) return std::nullopt;
  std::string text(data.begin(), data.end());
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::optional<std::uint32_t> RegistryValue::AsDword() const {
  if (type != RegistryType::kDword || data.size() != 4) return std::nullopt;
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

}  // namespace vandrel
