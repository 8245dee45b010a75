// Arbitrary bytes as a picture to fit to a small screen: detection, the header, the decoders,
// the scaler and the encoders, and the fitted file read back.
#include <cstdint>
#include <span>

#include "fuzz/fuzz_check.h"
#include "picture/image_decoding.h"
#include "picture/picture_fitting.h"

namespace {

using namespace vandrel;

constexpr PictureSize kScreen{.width = 16, .height = 12};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> image(data, size);
  const std::optional<FittedPicture> fitted = FitPicture(image, kScreen);
  if (!fitted) return 0;
  FUZZ_CHECK(fitted->width >= 1 && fitted->width <= kScreen.width);
  FUZZ_CHECK(fitted->height >= 1 && fitted->height <= kScreen.height);
  const std::optional<PictureSize> written = ReadImageSize(fitted->bytes);
  FUZZ_CHECK(written && written->width == fitted->width && written->height == fitted->height);
  return 0;
}
