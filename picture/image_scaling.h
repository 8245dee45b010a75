#pragma once

#include <optional>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// `image` resampled to `size`, with the same channels. Colours are averaged as light, not as
// their stored sRGB values, and weighted by opacity, so that thin lines and transparent edges
// keep their brightness. No value when memory runs out.
std::optional<RasterImage> ScaleImage(const RasterImage& image, PictureSize size);

}  // namespace vandrel
