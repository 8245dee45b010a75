#include "picture/png_encoding.h"

#include <spng.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace vandrel {
namespace {

// The colour type of an image of 1 to 4 channels.
constexpr std::array<std::uint8_t, 4> kColourTypes{
    SPNG_COLOR_TYPE_GRAYSCALE, SPNG_COLOR_TYPE_GRAYSCALE_ALPHA, SPNG_COLOR_TYPE_TRUECOLOR,
    SPNG_COLOR_TYPE_TRUECOLOR_ALPHA};
constexpr std::uint8_t kBitDepth = 8;

struct FreeContext {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
struct FreeBuffer {
  void operator()(void* buffer) const { std::free(buffer); }
};

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const RasterImage& image) {
  if (image.channels < 1 || image.channels > static_cast<int>(kColourTypes.size()))
    return std::nullopt;
  const std::unique_ptr<spng_ctx, FreeContext> context(spng_ctx_new(SPNG_CTX_ENCODER));
  spng_ihdr header{.width = static_cast<std::uint32_t>(image.width),
                   .height = static_cast<std::uint32_t>(image.height),
                   .bit_depth = kBitDepth,
                   .color_type = kColourTypes[static_cast<std::size_t>(image.channels) - 1],
                   .compression_method = 0,
                   .filter_method = 0,
                   .interlace_method = 0};
  const std::span<const std::uint8_t> pixels = image.Bytes();
  if (!context || spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1) != 0 ||
      spng_set_ihdr(context.get(), &header) != 0 ||
      spng_encode_image(context.get(), pixels.data(), pixels.size(), SPNG_FMT_PNG,
                        SPNG_ENCODE_FINALIZE) != 0)
    return std::nullopt;
  std::size_t size = 0;
  int error = 0;
  const std::unique_ptr<void, FreeBuffer> png(spng_get_png_buffer(context.get(), &size, &error));
  if (!png || error != 0) return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(png.get());
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

}  // namespace vandrel
