#include "picture/png_decoding.h"

#include <spng.h>

#include <array>
#include <memory>
#include <vector>

#include "picture/png_data_check.h"
#include "picture/row_scaler.h"

namespace vandrel {
namespace {

// A side no screen or camera comes near; the pixel count is bounded by the caller.
constexpr std::uint32_t kMaxSide = 1 << 16;
// Text, profiles and other ancillary chunks are never needed: none may be larger than this, nor
// all of them together more than the cache limit.
constexpr std::size_t kMaxChunkBytes = std::size_t{8} << 20;
constexpr std::size_t kMaxChunkCacheBytes = std::size_t{32} << 20;

// Where each of an interlaced image's seven passes starts in a row, and how many columns it steps.
constexpr std::array<int, 7> kPassStart{0, 4, 0, 2, 0, 1, 0};
constexpr std::array<int, 7> kPassStep{8, 8, 4, 4, 2, 2, 1};

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

std::optional<RasterImage> DecodePng(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels) {
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
  // one scanline at a time into the scaler: no buffer of the whole picture
  std::size_t imageBytes = 0;
  if (spng_decoded_image_size(context.get(), format, &imageBytes) != 0 ||
      spng_decode_image(context.get(), nullptr, 0, format,
                        SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0)
    return std::nullopt;
  const PictureSize source{.width = static_cast<int>(header.width),
                           .height = static_cast<int>(header.height)};
  RowScaler scaler(source, size, alpha ? 4 : 3);
  std::vector<std::uint8_t> scanline(imageBytes / header.height);
  int status = 0;
  do {
    spng_row_info row{};
    status = spng_get_row_info(context.get(), &row);
    if (status != 0) break;
    status = spng_decode_scanline(context.get(), scanline.data(), scanline.size());
    if (status != 0 && status != SPNG_EOI) break;
    const auto pass = static_cast<std::size_t>(header.interlace_method != 0 ? row.pass : 6);
    scaler.AddPixels(static_cast<int>(row.row_num), scanline, kPassStart.at(pass),
                     kPassStep.at(pass));
  } while (status == 0);
  if (status != SPNG_EOI) return std::nullopt;
  return scaler.Finish();
}

}  // namespace vandrel
