#include "picture/image_encoding.h"

#include "picture/bmp_encoding.h"
#include "picture/jpeg_encoding.h"
#include "picture/png_encoding.h"

namespace vandrel {
namespace {

// A handset shows the picture no larger than its own pixels; at that size this quality's
// artefacts are finer than the screen shows, and the file is about 40 % smaller than at 90.
constexpr int kJpegQuality = 75;

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeImage(const RasterImage& image,
                                                     PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      return EncodeJpeg(image, kJpegQuality);
    case PictureFormat::Png:
      return EncodePng(image);
    case PictureFormat::Bmp:
      return EncodeBmp(image);
  }
  return std::nullopt;
}

}  // namespace vandrel
