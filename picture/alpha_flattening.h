#pragma once

#include <optional>

#include "picture/raster_image.h"

namespace vandrel {

// The image as it shows on a white page: each pixel blended with white by its opacity, the
// alpha channel dropped. An image without alpha comes back as it is. No value when memory runs
// out.
std::optional<RasterImage> FlattenOntoWhite(RasterImage image);

}  // namespace vandrel
