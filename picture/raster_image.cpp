#include "picture/raster_image.h"

namespace vandrel {

std::optional<RasterImage> AllocateRasterImage(int width, int height, int channels) {
  RasterImage image{.width = width, .height = height, .channels = channels, .pixels = nullptr};
  image.pixels.reset(static_cast<std::uint8_t*>(std::malloc(image.ByteCount())));
  if (!image.pixels) return std::nullopt;
  return image;
}

}  // namespace vandrel
