#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "picture/raster_image.h"

namespace vandrel {

// The JPEG file of `image` (grey, or red green blue: flatten an image with alpha first) at
// `quality` (1..100), written by libjpeg-turbo; no value when it cannot be written.
std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RasterImage& image, int quality);

}  // namespace vandrel
