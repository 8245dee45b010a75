#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height a JPEG's header gives; no value when the header cannot be read.
std::optional<PictureSize> ReadJpegSize(std::span<const std::uint8_t> image);

// The pixels of a JPEG (grey, or red green blue) scaled to `size`: decoded at the smallest of the
// decoder's scales (1/8, 1/4, 1/2, whole) whose size still covers `size` in both directions, so
// that a photo meant for a small screen is never decoded whole, and scanline by scanline into
// the scaler. No value when the image cannot be decoded, when its header announces more than
// `maxPixels` pixels (refused before decoding starts), or when decoding it would take more than
// the decoder's memory bound.
std::optional<RasterImage> DecodeJpeg(std::span<const std::uint8_t> image, PictureSize size,
                                      std::int64_t maxPixels);

}  // namespace vandrel
