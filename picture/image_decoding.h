#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The width and height a JPEG, PNG, BMP, GIF or still WebP image says it has, read from its header
// alone. No value for an image without pixels, or one that the decoder cannot be trusted with.
std::optional<PictureSize> ReadImageSize(std::span<const std::uint8_t> image);

// The pixels of a JPEG, PNG, BMP, GIF or still WebP image (a GIF's first frame) scaled to `size`,
// in the channels the image has (a GIF's always with alpha). A JPEG, a PNG, a BMP and a GIF go row
// by row into the scaler, a WebP shrinks as it is decoded (a lossless one has a lower bound of its
// own, 16 million pixels). No value when the image cannot be decoded, or when its header
// announces more than `maxPixels` pixels: that is refused before decoding starts.
std::optional<RasterImage> DecodeImage(std::span<const std::uint8_t> image, PictureSize size,
                                       std::int64_t maxPixels);

}  // namespace vandrel
