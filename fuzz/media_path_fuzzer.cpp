// Arbitrary bytes as a file path, valid UTF-8 or not: lower-casing and the format code that
// each object kind's extension list gives.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "objects/media_file.h"

namespace {

using namespace vandrel;

using Classifier = std::int32_t (*)(std::string_view);
constexpr Classifier kClassifiers[] = {ClassifyGraphic, ClassifySound, ClassifyVCard};

bool HasAsciiCapital(std::string_view text) {
  for (const char c : text)
    if (c >= 'A' && c <= 'Z') return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const std::string lowered = LowerCasePath(path);
  FUZZ_CHECK(lowered.size() == path.size());
  FUZZ_CHECK(!HasAsciiCapital(lowered));
  FUZZ_CHECK(LowerCasePath(lowered) == lowered);
  for (const Classifier classify : kClassifiers) {
    const std::int32_t code = classify(path);
    // The same name gives the same code however it is spelled, and every time.
    FUZZ_CHECK(classify(lowered) == code);
    FUZZ_CHECK(classify(path) == code);
    FUZZ_CHECK(code == kNoFormat || code > 0);
  }
  return 0;
}
