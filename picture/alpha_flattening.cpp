#include "picture/alpha_flattening.h"

#include <cstddef>
#include <cstdint>

namespace vandrel {
namespace {

constexpr unsigned kOpaque = 255;
constexpr unsigned kWhite = 255;

std::uint8_t OverWhite(std::uint8_t colour, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((colour * alpha + kWhite * (kOpaque - alpha) + kOpaque / 2) /
                                   kOpaque);
}

}  // namespace

std::optional<RasterImage> FlattenOntoWhite(RasterImage image) {
  if (!image.HasAlpha()) return image;
  const int colours = image.channels - 1;
  std::optional<RasterImage> flat = AllocateRasterImage(image.width, image.height, colours);
  if (!flat) return std::nullopt;
  const std::span<const std::uint8_t> from = image.Bytes();
  const std::span<std::uint8_t> to = flat->Bytes();
  const std::size_t pixelCount = to.size() / colours;
  for (std::size_t pixel = 0; pixel < pixelCount; ++pixel) {
    const std::uint8_t alpha = from[pixel * image.channels + colours];
    for (int colour = 0; colour < colours; ++colour) {
      to[pixel * colours + colour] = OverWhite(from[pixel * image.channels + colour], alpha);
    }
  }
  return flat;
}

}  // namespace vandrel
