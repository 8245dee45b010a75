#include "picture/image_decoding.h"

#include <algorithm>
#include <limits>

#include "picture/gif_decoding.h"
#include "picture/image_scaling.h"
#include "picture/image_type.h"
#include "picture/jpeg_decoding.h"
#include "picture/png_decoding.h"
#include "picture/stb_config.h"
#include "picture/webp_decoding.h"

namespace vandrel {
namespace {

// A WebP or a BMP is decoded whole before it is scaled: a bound of its own keeps its pixels
// within 64 MB.
constexpr std::int64_t kMaxWholePixels = 16'000'000;

// Only an image of a type we recognise reaches the decoder, so that it reads the image as the
// type we took it for. The decoder takes the length of its input as an int.
bool DecoderMayRead(std::span<const std::uint8_t> image) {
  return DetectImageType(image) &&
         image.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

// A WebP or a BMP, decoded whole.
std::optional<RasterImage> DecodeWhole(std::span<const std::uint8_t> image,
                                       std::int64_t maxPixels) {
  if (DetectImageType(image) == ImageType::Webp) return DecodeWebp(image, maxPixels);
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

std::optional<RasterImage> DecodeImage(std::span<const std::uint8_t> image, PictureSize size,
                                       std::int64_t maxPixels) {
  const std::optional<ImageType> type = DetectImageType(image);
  if (type == ImageType::Jpeg) return DecodeJpeg(image, size, maxPixels);
  if (type == ImageType::Png) return DecodePng(image, size, maxPixels);
  if (type == ImageType::Gif) return DecodeGif(image, size, maxPixels);
  const std::optional<RasterImage> whole = DecodeWhole(image, std::min(maxPixels, kMaxWholePixels));
  if (!whole) return std::nullopt;
  return ScaleImage(*whole, size);
}

}  // namespace vandrel
