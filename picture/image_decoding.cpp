#include "picture/image_decoding.h"

#include <limits>

#include "picture/gif_decoding.h"
#include "picture/image_type.h"
#include "picture/jpeg_decoding.h"
#include "picture/png_decoding.h"
#include "picture/stb_config.h"
#include "picture/webp_decoding.h"

namespace vandrel {
namespace {

// Only an image of a type we recognise reaches the decoder, so that it reads the image as the
// type we took it for. The decoder takes the length of its input as an int.
bool DecoderMayRead(std::span<const std::uint8_t> image) {
  return DetectImageType(image) &&
         image.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

}  // namespace

std::optional<PictureSize> ReadImageSize(std::span<const std::uint8_t> image) {
  const std::optional<ImageType> type = DetectImageType(image);
  if (type == ImageType::Jpeg) return ReadJpegSize(image);
  if (type == ImageType::Png) return ReadPngSize(image);
  if (type == ImageType::Gif) return ReadGifSize(image);
  if (type == ImageType::Webp) return ReadWebpSize(image);
  if (!DecoderMayRead(image)) return std::nullopt;
  PictureSize size;
  int channels = 0;
  if (!stbi_info_from_memory(image.data(), static_cast<int>(image.size()), &size.width,
                             &size.height, &channels) ||
      size.width <= 0 || size.height <= 0) {
    return std::nullopt;
  }
  return size;
}

std::optional<RasterImage> DecodeImage(std::span<const std::uint8_t> image, PictureSize least,
                                       std::int64_t maxPixels) {
  const std::optional<ImageType> type = DetectImageType(image);
  if (type == ImageType::Jpeg) return DecodeJpeg(image, least, maxPixels);
  if (type == ImageType::Png) return DecodePng(image, maxPixels);
  if (type == ImageType::Gif) return DecodeGif(image, maxPixels);
  if (type == ImageType::Webp) return DecodeWebp(image, maxPixels);
  const std::optional<PictureSize> size = ReadImageSize(image);
  if (!size || std::int64_t{size->width} * size->height > maxPixels) return std::nullopt;
  RasterImage decoded;
  decoded.pixels.reset(stbi_load_from_memory(image.data(), static_cast<int>(image.size()),
                                             &decoded.width, &decoded.height, &decoded.channels,
                                             0));
  // What is scaled and encoded is what the header announced, within the limit and not empty.
  if (!decoded.pixels || decoded.width != size->width || decoded.height != size->height) {
    return std::nullopt;
  }
  return decoded;
}

}  // namespace vandrel
