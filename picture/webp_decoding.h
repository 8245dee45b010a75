#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height a WebP says it has; no value when its header cannot be read.
std::optional<PictureSize> ReadWebpSize(std::span<const std::uint8_t> image);

// The pixels of a still WebP, red green blue, and alpha when it has any. No value when it cannot
// be decoded (an animation cannot), or when it has more than `maxPixels` pixels: that is refused
// before any pixel memory is taken.
std::optional<RasterImage> DecodeWebp(std::span<const std::uint8_t> image, std::int64_t maxPixels);

}  // namespace vandrel
