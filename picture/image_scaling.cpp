#include "picture/image_scaling.h"

#include "picture/row_scaler.h"

namespace vandrel {

std::optional<RasterImage> ScaleImage(const RasterImage& image, PictureSize size) {
  RowScaler scaler({.width = image.width, .height = image.height}, size, image.channels);
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * image.channels;
  for (int y = 0; y < image.height; ++y)
    scaler.AddPixels(y, image.Bytes().subspan(static_cast<std::size_t>(y) * rowBytes, rowBytes));
  return scaler.Finish();
}

}  // namespace vandrel
