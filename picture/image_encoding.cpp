#include "picture/image_encoding.h"

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

int Write(std::vector<std::uint8_t>& bytes, const RasterImage& image, PictureFormat format) {
  const void* pixels = image.pixels.get();
  switch (format) {
    case PictureFormat::Jpeg:
      return stbi_write_jpg_to_func(AppendBytes, &bytes, image.width, image.height, image.channels,
                                    pixels, kJpegQuality);
    case PictureFormat::Bmp:
      return stbi_write_bmp_to_func(AppendBytes, &bytes, image.width, image.height, image.channels,
                                    pixels);
    case PictureFormat::Png:
      break;
  }
  return 0;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeImage(const RasterImage& image,
                                                     PictureFormat format) {
  if (format == PictureFormat::Png) return EncodePng(image);
  std::vector<std::uint8_t> bytes;
  if (!Write(bytes, image, format)) return std::nullopt;
  return bytes;
}

}  // namespace vandrel
