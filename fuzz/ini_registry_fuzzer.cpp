// Arbitrary bytes as the POSIX settings file: whatever reads as settings must be written in a
// form that reads back as the same settings.
#include <cstdint>
#include <string_view>
#include <variant>

#include "fuzz/fuzz_check.h"
#include "platform/ini_registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vandrel::RegistryTree;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto tree = vandrel::RegistryTreeFromIni(text);
  if (!std::holds_alternative<RegistryTree>(tree)) return 0;
  // a name read as typed may be too long for the file once its punctuation is escaped
  const auto written = vandrel::RegistryTreeToIni(std::get<RegistryTree>(tree));
  if (!written) return 0;
  const auto again = vandrel::RegistryTreeFromIni(*written);
  FUZZ_CHECK(std::holds_alternative<RegistryTree>(again));
  FUZZ_CHECK(vandrel::RegistryTreeToIni(std::get<RegistryTree>(again)) == written);
  return 0;
}
