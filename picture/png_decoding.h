#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height a PNG's header gives; no value when the header cannot be read.
std::optional<PictureSize> ReadPngSize(std::span<const std::uint8_t> image);

// The pixels of a PNG scaled to `size`: red green blue, with alpha when the image has
// transparency. Its rows go one at a time into the scaler, so that no buffer of the whole
// picture is taken. No value when the image cannot be decoded, when its header announces more
// than `maxPixels` pixels, or when its image data inflates to more than its header needs (a
// "bomb"): all refused before decoding starts.
std::optional<RasterImage> DecodePng(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels);

}  // namespace vandrel
