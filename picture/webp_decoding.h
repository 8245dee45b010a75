#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height a WebP says it has; no value when its header cannot be read.
std::optional<PictureSize> ReadWebpSize(std::span<const std::uint8_t> image);

// The pixels of a still WebP scaled to `size`, red green blue, and alpha when it has any: the
// decoder shrinks it as it decodes to no more than twice `size` on each side, and the scaler
// averages the rest as light, so that its pixels are never held at full size. No value when it
// cannot be decoded (an animation cannot), or when it has more than `maxPixels` pixels; a
// lossless one, which its decoder holds whole at 4 bytes a pixel, more than 16 million. Both are
// refused before any pixel memory is taken.
std::optional<RasterImage> DecodeWebp(std::span<const std::uint8_t> image, PictureSize size,
                                      std::int64_t maxPixels);

}  // namespace vandrel
