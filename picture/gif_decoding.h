#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height of a GIF's logical screen; no value when its header cannot be read.
std::optional<PictureSize> ReadGifSize(std::span<const std::uint8_t> image);

// The first frame of a GIF on its logical screen scaled to `size`, red green blue and alpha: what
// the frame does not cover, and its transparent colour, are transparent. Its rows go one at a
// time into the scaler. No value when the frame cannot be decoded, or when the screen or the
// frame has more than `maxPixels` pixels (refused before decoding starts). Later frames are
// never read.
std::optional<RasterImage> DecodeGif(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels);

}  // namespace vandrel
