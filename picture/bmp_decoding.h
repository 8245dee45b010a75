#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height of a BMP we can decode; no value for any other.
std::optional<PictureSize> ReadBmpSize(std::span<const std::uint8_t> image);

// The pixels of a BMP scaled to `size`: red green blue, with alpha when its bit masks give one.
// Its rows go one at a time into the scaler, whichever way up they are stored. No value for a
// BMP we cannot decode (see ReadBmpLayout), or one of more than `maxPixels` pixels: both refused
// from its headers, before any memory is taken.
std::optional<RasterImage> DecodeBmp(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels);

}  // namespace vandrel
