#include "picture/jpeg_table_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "picture/picture_fitting.h"
#include "picture/stb_config.h"
#include "tests/picture/written_bytes.h"

namespace vandrel {
namespace {

// A JPEG of noise, whose coded data holds stuffed 0xFF bytes to be told from markers.
Bytes NoiseJpeg() {
  std::mt19937 random(17);
  Bytes pixels(64 * 64 * 3);
  for (std::uint8_t& byte : pixels) byte = static_cast<std::uint8_t>(random());
  Bytes jpeg;
  stbi_write_jpg_to_func(AppendWritten, &jpeg, 64, 64, 3, pixels.data(), 90);
  return jpeg;
}

// `jpeg` with a Huffman table of 257 codes inserted at `at`.
Bytes WithOverlongTable(Bytes jpeg, std::size_t at) {
  Bytes table{0xFF, 0xC4, 0x00, 0x13, 0x00};
  table.resize(table.size() + 14, 0);
  table.insert(table.end(), {2, 255});
  jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), table.begin(), table.end());
  return jpeg;
}

TEST(JpegTableCheck, RefusesATableOfMoreCodesThanTheDecoderHoldsWhereverItIs) {
  const Bytes jpeg = NoiseJpeg();
  ASSERT_TRUE(JpegHuffmanTablesFit(jpeg));
  ASSERT_TRUE(FitPicture(jpeg, {32, 32}));
  // before the frame, where the header reader meets it, and after the coded data
  for (const std::size_t at : {std::size_t{2}, jpeg.size() - 2}) {
    const Bytes forged = WithOverlongTable(jpeg, at);
    EXPECT_FALSE(JpegHuffmanTablesFit(forged)) << "at " << at;
    EXPECT_FALSE(FitPicture(forged, {32, 32})) << "at " << at;
  }
}

}  // namespace
}  // namespace vandrel
