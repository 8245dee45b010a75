#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"

namespace vandrel {

// Where a BMP keeps its pixels and how they are packed, read from its headers alone.
struct BmpLayout {
  PictureSize size;
  // rows stored from the top down rather than from the bottom up
  bool topDown = false;
  // 1, 4 or 8 (indices into `palette`), 16, 24 or 32
  int bitsPerPixel = 0;
  // the rows, each padded to a multiple of 4 bytes
  std::span<const std::uint8_t> rows = {};
  std::size_t rowBytes = 0;
  // blue, green, red and an unused byte per colour, for 1, 4 and 8 bits a pixel
  std::span<const std::uint8_t> palette = {};
  // the bits of red, green, blue and alpha in a 16 or 32-bit pixel; no alpha when its mask is 0
  std::array<std::uint32_t, 4> masks{};
};

// The layout of an uncompressed BMP (or one whose 16 or 32-bit pixels are split by bit masks)
// whose rows all lie within `image`. No value for any other, a run-length compressed one
// included, for one wider or taller than 65 536 pixels, or for a header or palette that does not
// fit in `image`.
std::optional<BmpLayout> ReadBmpLayout(std::span<const std::uint8_t> image);

}  // namespace vandrel
