// Arbitrary bytes as the POSIX settings store file: whatever parses must come back unchanged
// from its own text form.
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/registry_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vandrel::RegistryTree;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto tree = RegistryTree::Parse(text);
  if (!tree) return 0;
  const std::string serialized = tree->Serialize();
  const auto again = RegistryTree::Parse(serialized);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(*again == *tree);
  FUZZ_CHECK(again->Serialize() == serialized);
  return 0;
}
