#include "picture/image_decoding.h"

#include "picture/bmp_decoding.h"
#include "picture/gif_decoding.h"
#include "picture/image_type.h"
#include "picture/jpeg_decoding.h"
#include "picture/png_decoding.h"
#include "picture/webp_decoding.h"

namespace vandrel {

std::optional<PictureSize> ReadImageSize(std::span<const std::uint8_t> image) {
  const std::optional<ImageType> type = DetectImageType(image);
  if (type == ImageType::Jpeg) return ReadJpegSize(image);
  if (type == ImageType::Png) return ReadPngSize(image);
  if (type == ImageType::Bmp) return ReadBmpSize(image);
  if (type == ImageType::Gif) return ReadGifSize(image);
  if (type == ImageType::Webp) return ReadWebpSize(image);
  return std::nullopt;
}

std::optional<RasterImage> DecodeImage(std::span<const std::uint8_t> image, PictureSize size,
                                       std::int64_t maxPixels) {
  const std::optional<ImageType> type = DetectImageType(image);
  if (type == ImageType::Jpeg) return DecodeJpeg(image, size, maxPixels);
  if (type == ImageType::Png) return DecodePng(image, size, maxPixels);
  if (type == ImageType::Bmp) return DecodeBmp(image, size, maxPixels);
  if (type == ImageType::Gif) return DecodeGif(image, size, maxPixels);
  if (type == ImageType::Webp) return DecodeWebp(image, size, maxPixels);
  return std::nullopt;
}

}  // namespace vandrel
