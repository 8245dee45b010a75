// Arbitrary text as --picture-size: a size it gives is a usable screen and reads back as itself;
// numbers of any length are refused, never overflowed.
#include <cstdint>
#include <optional>
#include <string>

#include "cli/send_command.h"
#include "fuzz/fuzz_check.h"

namespace {
constexpr int kLargestSide = 10000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<vandrel::PictureSize> parsed = vandrel::ParsePictureSize(text);
  if (!parsed) return 0;
  FUZZ_CHECK(parsed->width >= 1 && parsed->width <= kLargestSide);
  FUZZ_CHECK(parsed->height >= 1 && parsed->height <= kLargestSide);
  const std::optional<vandrel::PictureSize> again = vandrel::ParsePictureSize(
      std::to_string(parsed->width) + "x" + std::to_string(parsed->height));
  FUZZ_CHECK(again && again->width == parsed->width && again->height == parsed->height);
  return 0;
}
