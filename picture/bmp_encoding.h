#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "picture/raster_image.h"

namespace vandrel {

// The file image of a red green blue `image` as a BMP: 24 bits a pixel, uncompressed, rows from
// the bottom up, each padded to a multiple of 4 bytes, after a first-version information header.
// No value for an image of other channels (flatten one with alpha first) or too large a file.
std::optional<std::vector<std::uint8_t>> EncodeBmp(const RasterImage& image);

}  // namespace vandrel
