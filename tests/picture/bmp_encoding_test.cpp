#include "picture/bmp_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

namespace vandrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What the handset gets: 24 bits a pixel in blue green red, rows from the bottom, each padded to
// 4 bytes, after the headers that say so.
TEST(BmpEncoding, RowsGoBottomUpInBlueGreenRedPaddedTo4Bytes) {
  std::optional<RasterImage> image = AllocateRasterImage(3, 2, 3);
  ASSERT_TRUE(image);
  const Bytes pixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  std::ranges::copy(pixels, image->pixels.get());
  const std::optional<Bytes> file = EncodeBmp(*image);
  ASSERT_TRUE(file && file->size() == 54 + 2 * 12);
  const auto word = [&](std::size_t at) {
    return (*file)[at] | (*file)[at + 1] << 8 | (*file)[at + 2] << 16 | (*file)[at + 3] << 24;
  };
  EXPECT_EQ(std::tuple(word(2), word(10), word(14), word(18), word(22), word(26), word(30)),
            std::tuple(78, 54, 40, 3, 2, 24 << 16 | 1, 0));
  EXPECT_EQ(
      Bytes(file->begin() + 54, file->end()),
      Bytes({13, 12, 11, 16, 15, 14, 19, 18, 17, 0, 0, 0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
  std::optional<RasterImage> alpha = AllocateRasterImage(3, 2, 4);
  ASSERT_TRUE(alpha);
  EXPECT_FALSE(EncodeBmp(*alpha));
}

}  // namespace
}  // namespace vandrel
