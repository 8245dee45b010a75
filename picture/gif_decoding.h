#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height of a GIF's logical screen; no value when its header cannot be read.
std::optional<PictureSize> ReadGifSize(std::span<const std::uint8_t> image);

// The first frame of a GIF on its logical screen, red green blue and alpha: what the frame does
// not cover, and its transparent colour, are transparent. No value when the frame cannot be
// decoded, or when the screen has more than `maxPixels` pixels (refused before the pixel memory
// is taken). Later frames are never read.
std::optional<RasterImage> DecodeGif(std::span<const std::uint8_t> image, std::int64_t maxPixels);

}  // namespace vandrel
