#include "picture/webp_decoding.h"

#include <webp/decode.h>

namespace vandrel {

std::optional<PictureSize> ReadWebpSize(std::span<const std::uint8_t> image) {
  PictureSize size;
  if (!WebPGetInfo(image.data(), image.size(), &size.width, &size.height) || size.width <= 0 ||
      size.height <= 0)
    return std::nullopt;
  return size;
}

std::optional<RasterImage> DecodeWebp(std::span<const std::uint8_t> image, std::int64_t maxPixels) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config) ||
      WebPGetFeatures(image.data(), image.size(), &config.input) != VP8_STATUS_OK ||
      config.input.width <= 0 || config.input.height <= 0 ||
      std::int64_t{config.input.width} * config.input.height > maxPixels)
    return std::nullopt;
  const int channels = config.input.has_alpha ? 4 : 3;
  std::optional<RasterImage> decoded =
      AllocateRasterImage(config.input.width, config.input.height, channels);
  if (!decoded) return std::nullopt;
  // libwebp writes into our pixels, so that it never holds a second copy of them
  config.output.colorspace = channels == 4 ? MODE_RGBA : MODE_RGB;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = decoded->pixels.get();
  config.output.u.RGBA.stride = decoded->width * channels;
  config.output.u.RGBA.size = decoded->ByteCount();
  const bool done = WebPDecode(image.data(), image.size(), &config) == VP8_STATUS_OK;
  WebPFreeDecBuffer(&config.output);
  if (!done) return std::nullopt;
  return decoded;
}

}  // namespace vandrel
