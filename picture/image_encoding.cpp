#include "picture/image_encoding.h"

#include "picture/jpeg_encoding.h"
#include "picture/png_encoding.h"
#include "picture/stb_config.h"

namespace vandrel {
namespace {

// A handset shows the picture no larger than its own pixels; at that size this quality's
// artefacts are finer than the screen shows, and the file is about 40 % smaller than at 90.
constexpr int kJpegQuality = 75;

void AppendBytes(void* context, void* data, int size) {
  auto& bytes = *static_cast<std::vector<std::uint8_t>*>(context);
  const auto* start = static_cast<const std::uint8_t*>(data);
  bytes.insert(bytes.end(), start, start + size);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeImage(const RasterImage& image,
                                                     PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      return EncodeJpeg(image, kJpegQuality);
    case PictureFormat::Png:
      return EncodePng(image);
    case PictureFormat::Bmp:
      break;
  }
  std::vector<std::uint8_t> bytes;
  if (!stbi_write_bmp_to_func(AppendBytes, &bytes, image.width, image.height, image.channels,
                              image.pixels.get()))
    return std::nullopt;
  return bytes;
}

}  // namespace vandrel
