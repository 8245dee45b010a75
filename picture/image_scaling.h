#pragma once

#include <optional>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// `image`, held whole, scaled to `size` as a RowScaler does, with the same channels. No value
// when memory runs out.
std::optional<RasterImage> ScaleImage(const RasterImage& image, PictureSize size);

}  // namespace vandrel
