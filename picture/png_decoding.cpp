#include "picture/png_decoding.h"

#include <spng.h>

#include <memory>

#include "picture/png_data_check.h"

namespace vandrel {
namespace {

// A side no screen or camera comes near; the pixel count is bounded by the caller.
constexpr std::uint32_t kMaxSide = 1 << 16;
// Text, profiles and other ancillary chunks are never needed: none may be larger than this, nor
// all of them together more than the cache limit.
constexpr std::size_t kMaxChunkBytes = std::size_t{8} << 20;
constexpr std::size_t kMaxChunkCacheBytes = std::size_t{32} << 20;

constexpr std::uint8_t kColourTypeGreyAlpha = 4;
constexpr std::uint8_t kColourTypeRgbAlpha = 6;

struct FreeContext {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, FreeContext>;

// A decoder of `image` with its limits set and its header read into `header`.
Context Open(std::span<const std::uint8_t> image, spng_ihdr& header) {
  Context context(spng_ctx_new(0));
  if (!context || spng_set_png_buffer(context.get(), image.data(), image.size()) != 0 ||
      spng_set_image_limits(context.get(), kMaxSide, kMaxSide) != 0 ||
      spng_set_chunk_limits(context.get(), kMaxChunkBytes, kMaxChunkCacheBytes) != 0 ||
      spng_get_ihdr(context.get(), &header) != 0)
    return nullptr;
  return context;
}

}  // namespace

std::optional<PictureSize> ReadPngSize(std::span<const std::uint8_t> image) {
  spng_ihdr header{};
  if (!Open(image, header)) return std::nullopt;
  return PictureSize{.width = static_cast<int>(header.width),
                     .height = static_cast<int>(header.height)};
}

std::optional<RasterImage> DecodePng(std::span<const std::uint8_t> image, std::int64_t maxPixels) {
  spng_ihdr header{};
  const Context context = Open(image, header);
  if (!context || std::int64_t{header.width} * header.height > maxPixels ||
      !PngDataWithinHeader(image))
    return std::nullopt;
  spng_trns transparency{};
  const bool alpha = header.color_type == kColourTypeGreyAlpha ||
                     header.color_type == kColourTypeRgbAlpha ||
                     spng_get_trns(context.get(), &transparency) == 0;
  const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
  std::optional<RasterImage> decoded = AllocateRasterImage(
      static_cast<int>(header.width), static_cast<int>(header.height), alpha ? 4 : 3);
  if (!decoded) return std::nullopt;
  const std::span<std::uint8_t> pixels = decoded->Bytes();
  if (spng_decode_image(context.get(), pixels.data(), pixels.size(), format, SPNG_DECODE_TRNS) != 0)
    return std::nullopt;
  return decoded;
}

}  // namespace vandrel
