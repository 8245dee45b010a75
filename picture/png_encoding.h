#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "picture/raster_image.h"

namespace vandrel {

// The PNG file of `image`, in the channels it has, written by libspng; no value when it cannot be
// written.
std::optional<std::vector<std::uint8_t>> EncodePng(const RasterImage& image);

}  // namespace vandrel
