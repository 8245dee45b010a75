#include "picture/webp_decoding.h"

#include <webp/decode.h>

#include <algorithm>

#include "picture/image_scaling.h"

namespace vandrel {
namespace {

// A lossless WebP is decoded whole inside its decoder, 4 bytes a pixel, whatever the size of its
// output: this keeps that within 64 MB.
constexpr std::int64_t kMaxWholePixels = 16'000'000;
constexpr int kLossy = 1;
// How much larger than the size asked for the decoder's own shrinking stops.
constexpr int kDecodedScale = 2;

}  // namespace

std::optional<PictureSize> ReadWebpSize(std::span<const std::uint8_t> image) {
  PictureSize size;
  if (!WebPGetInfo(image.data(), image.size(), &size.width, &size.height) || size.width <= 0 ||
      size.height <= 0)
    return std::nullopt;
  return size;
}

std::optional<RasterImage> DecodeWebp(std::span<const std::uint8_t> image, PictureSize size,
                                      std::int64_t maxPixels) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config) ||
      WebPGetFeatures(image.data(), image.size(), &config.input) != VP8_STATUS_OK ||
      config.input.width <= 0 || config.input.height <= 0)
    return std::nullopt;
  const std::int64_t pixels = std::int64_t{config.input.width} * config.input.height;
  if (pixels > maxPixels || (config.input.format != kLossy && pixels > kMaxWholePixels))
    return std::nullopt;
  const int channels = config.input.has_alpha ? 4 : 3;
  const int width = std::min(config.input.width, kDecodedScale * size.width);
  const int height = std::min(config.input.height, kDecodedScale * size.height);
  std::optional<RasterImage> decoded = AllocateRasterImage(width, height, channels);
  if (!decoded) return std::nullopt;
  config.options.use_scaling = width != config.input.width || height != config.input.height;
  config.options.scaled_width = width;
  config.options.scaled_height = height;
  // libwebp writes into our pixels, so that it never holds a second copy of them
  config.output.colorspace = channels == 4 ? MODE_RGBA : MODE_RGB;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = decoded->pixels.get();
  config.output.u.RGBA.stride = width * channels;
  config.output.u.RGBA.size = decoded->ByteCount();
  const bool done = WebPDecode(image.data(), image.size(), &config) == VP8_STATUS_OK;
  WebPFreeDecBuffer(&config.output);
  if (!done) return std::nullopt;
  return ScaleImage(*decoded, size);
}

}  // namespace vandrel
