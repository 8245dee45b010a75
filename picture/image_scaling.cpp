#include "picture/image_scaling.h"

#include "picture/stb_config.h"

namespace vandrel {

std::optional<RasterImage> ScaleImage(const RasterImage& image, PictureSize size) {
  std::optional<RasterImage> scaled = AllocateRasterImage(size.width, size.height, image.channels);
  if (!scaled) return std::nullopt;
  const int alphaChannel = image.HasAlpha() ? image.channels - 1 : STBIR_ALPHA_CHANNEL_NONE;
  if (!stbir_resize_uint8_srgb(image.pixels.get(), image.width, image.height, 0,
                               scaled->pixels.get(), size.width, size.height, 0, image.channels,
                               alphaChannel, 0)) {
    return std::nullopt;
  }
  return scaled;
}

}  // namespace vandrel
