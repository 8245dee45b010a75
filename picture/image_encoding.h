#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// The file image of `image` in `format`. A JPEG or BMP has no alpha: flatten the image first.
std::optional<std::vector<std::uint8_t>> EncodeImage(const RasterImage& image,
                                                     PictureFormat format);

}  // namespace vandrel
