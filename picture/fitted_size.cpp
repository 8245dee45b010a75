#include "picture/fitted_size.h"

#include <algorithm>
#include <cstdint>

namespace vandrel {
namespace {

// `side` scaled by `numerator` / `denominator`, rounded to the nearest pixel, at least one.
int ScaledSide(int side, int numerator, int denominator) {
  const std::int64_t scaled =
      (std::int64_t{side} * numerator * 2 + denominator) / (std::int64_t{denominator} * 2);
  return static_cast<int>(std::max<std::int64_t>(scaled, 1));
}

}  // namespace

std::optional<PictureSize> FittedSize(PictureSize image, PictureSize box) {
  if (box.width <= 0 || box.height <= 0) return std::nullopt;
  if (image.width <= box.width && image.height <= box.height) return std::nullopt;
  // Compared as cross products: the width bounds the fit when the image is at least as wide,
  // for its height, as the box.
  if (std::int64_t{image.width} * box.height >= std::int64_t{image.height} * box.width) {
    return PictureSize{.width = box.width,
                       .height = ScaledSide(image.height, box.width, image.width)};
  }
  return PictureSize{.width = ScaledSide(image.width, box.height, image.height),
                     .height = box.height};
}

}  // namespace vandrel
