#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "picture/bmp_encoding.h"
#include "picture/image_decoding.h"
#include "picture/picture_fitting.h"

namespace vandrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Colour = std::array<std::uint8_t, 3>;

constexpr std::array<Colour, 5> kColours{
    {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 255}, {0, 0, 0}}};
constexpr std::int64_t kAnyPixels = 64'000'000;

// How a test BMP stores its pixels: every field of its headers that a writer chooses.
struct BmpFields {
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t infoBytes = 40;
  bool topDown = false;
  // after a first-version header, or in a later one
  std::vector<std::uint32_t> masks = {};
};

void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// The stored form of pixel `colour` at `bits` bits a pixel with `fields`' masks.
std::uint32_t Packed(const BmpFields& fields, std::size_t index) {
  const Colour& colour = kColours.at(index);
  if (fields.bits <= 8) return static_cast<std::uint32_t>(index);
  std::uint32_t pixel = 0;
  for (std::size_t c = 0; c < fields.masks.size(); ++c) {
    const std::uint32_t mask = fields.masks[c];
    // a colour here is all or nothing, so it is the mask or none of it; alpha always opaque
    if (c == 3 || colour.at(c) != 0) pixel |= mask;
  }
  return pixel;
}

// A `width` x `height` BMP whose pixel (x, y) has colour (x + y) modulo the colours its depth
// holds, written with `fields` (and the masks that pixels of 16 or 32 bits without bit fields
// have, when `fields` gives none).
Bytes BmpFile(int width, int height, BmpFields fields) {
  if (fields.masks.empty() && fields.bits == 16) fields.masks = {0x7C00, 0x03E0, 0x001F};
  if (fields.masks.empty() && fields.bits >= 24) fields.masks = {0xFF0000, 0xFF00, 0xFF};
  const bool masksAfterHeader = fields.compression == 3 && fields.infoBytes == 40;
  const std::size_t paletteColours =
      fields.bits <= 8 ? std::min<std::size_t>(kColours.size(), std::size_t{1} << fields.bits) : 0;
  const std::size_t pixelsAt =
      14 + fields.infoBytes + (masksAfterHeader ? 4 * fields.masks.size() : 0) + 4 * paletteColours;
  Bytes file(pixelsAt, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put(file, 10, static_cast<std::uint32_t>(pixelsAt));
  Put(file, 14, fields.infoBytes);
  Put(file, 18, static_cast<std::uint32_t>(width));
  Put(file, 22, static_cast<std::uint32_t>(fields.topDown ? -height : height));
  Put(file, 26, 1, 2);
  Put(file, 28, static_cast<std::uint32_t>(fields.bits), 2);
  Put(file, 30, fields.compression);
  // a palette of fewer colours than the depth indexes says how many
  if (fields.bits <= 8 && paletteColours < (1U << fields.bits))
    Put(file, 46, static_cast<std::uint32_t>(paletteColours));
  if (fields.compression == 3)
    for (std::size_t i = 0; i < fields.masks.size(); ++i) Put(file, 54 + 4 * i, fields.masks[i]);
  for (std::size_t i = 0; i < paletteColours; ++i) {
    const std::size_t at = pixelsAt - 4 * (paletteColours - i);
    file[at] = kColours.at(i)[2];
    file[at + 1] = kColours.at(i)[1];
    file[at + 2] = kColours.at(i)[0];
  }
  const std::size_t colours = paletteColours > 0 ? paletteColours : kColours.size();
  for (int stored = 0; stored < height; ++stored) {
    const int y = fields.topDown ? stored : height - 1 - stored;
    std::vector<bool> bits;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = Packed(fields, static_cast<std::size_t>(x + y) % colours);
      // a pixel's bits from its highest, its bytes from its lowest
      for (int byte = 0; byte < std::max(fields.bits / 8, 1); ++byte)
        for (int bit = std::min(fields.bits, 8); bit-- > 0;)
          bits.push_back(((pixel >> (8 * byte + bit)) & 1U) != 0);
    }
    while (bits.size() % 32 != 0) bits.push_back(false);
    for (std::size_t at = 0; at < bits.size(); at += 8) {
      std::uint8_t byte = 0;
      for (std::size_t bit = 0; bit < 8; ++bit)
        byte = static_cast<std::uint8_t>(byte << 1 | bits[at + bit]);
      file.push_back(byte);
    }
  }
  Put(file, 2, static_cast<std::uint32_t>(file.size()));
  return file;
}

// Each depth and layout that writers use, decoded at its own size: every pixel where and in the
// colour it was written.
TEST(BmpDecoding, EveryDepthAndRowOrderGivesThePixelsAsWritten) {
  constexpr int kWidth = 9;
  constexpr int kHeight = 3;
  const std::vector<std::tuple<std::string, BmpFields>> variants{
      {"24 bits, bottom up", {}},
      {"24 bits, top down", {.topDown = true}},
      {"8-bit palette", {.bits = 8}},
      {"4-bit palette, top down", {.bits = 4, .topDown = true}},
      {"1-bit palette", {.bits = 1}},
      {"16 bits, 5 5 5", {.bits = 16}},
      {"16 bits, 5 6 5 bit fields",
       {.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x1F}}},
      {"32 bits", {.bits = 32}},
      {"32 bits, bit fields in a version 5 header",
       {.bits = 32, .compression = 3, .infoBytes = 124, .masks = {0xFF, 0xFF00, 0xFF0000}}},
  };
  for (const auto& [name, fields] : variants) {
    SCOPED_TRACE(name);
    const Bytes file = BmpFile(kWidth, kHeight, fields);
    const std::optional<PictureSize> size = ReadImageSize(file);
    ASSERT_TRUE(size && size->width == kWidth && size->height == kHeight);
    const std::optional<RasterImage> image = DecodeImage(file, *size, kAnyPixels);
    ASSERT_TRUE(image && image->channels == 3);
    const std::size_t colours = fields.bits <= 8 ? std::min<std::size_t>(5, 1U << fields.bits) : 5;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t* at = image->pixels.get() + (y * kWidth + x) * 3;
        EXPECT_EQ(Colour({at[0], at[1], at[2]}), kColours.at((x + y) % colours))
            << "at " << x << ", " << y;
      }
  }
}

// A 32-bit BMP with an alpha mask keeps its transparency through the scaler, and is written
// flattened onto white.
TEST(BmpDecoding, AlphaOfBitFieldsComesFlattenedOntoWhite) {
  const BmpFields fields{.bits = 32,
                         .compression = 3,
                         .infoBytes = 108,
                         .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
  Bytes file = BmpFile(40, 20, fields);
  const std::optional<RasterImage> image = DecodeImage(file, {40, 20}, kAnyPixels);
  ASSERT_TRUE(image && image->channels == 4);
  // the right half clear
  const std::size_t pixelsAt = file.size() - 40 * 20 * 4;
  for (int y = 0; y < 20; ++y)
    for (int x = 20; x < 40; ++x) file[pixelsAt + (y * 40 + x) * 4 + 3] = 0;
  const std::optional<FittedPicture> fitted = FitPicture(file, {10, 10});
  ASSERT_TRUE(fitted && fitted->format == PictureFormat::Bmp);
  const std::optional<RasterImage> flat = DecodeImage(fitted->bytes, {10, 5}, kAnyPixels);
  ASSERT_TRUE(flat && flat->channels == 3);
  EXPECT_EQ(Bytes(flat->pixels.get() + 9 * 3, flat->pixels.get() + 10 * 3), Bytes({255, 255, 255}));
  EXPECT_LT(flat->pixels.get()[1], 255);
}

// What cannot be trusted is refused from the headers, before any memory is taken for pixels.
TEST(BmpDecoding, ACompressedTruncatedOrOverclaimingBmpIsRefused) {
  const Bytes good = BmpFile(9, 3, {.bits = 4});
  EXPECT_TRUE(DecodeImage(good, {9, 3}, 27));
  EXPECT_FALSE(DecodeImage(good, {9, 3}, 26));
  const auto refused = [](const Bytes& file, const char* why) {
    EXPECT_FALSE(ReadImageSize(file)) << why;
    EXPECT_FALSE(DecodeImage(file, {1, 1}, kAnyPixels)) << why;
  };
  refused(Bytes(good.begin(), good.end() - 1), "a row cut short");
  refused(Bytes(good.begin(), good.begin() + 60), "the palette cut short");
  const std::tuple<std::size_t, std::uint32_t, const char*> fields[] = {
      {30, 2, "run-length compressed"},
      {46, 17, "more colours than 4 bits index"},
      {14, 64, "an unknown header"},
      {10, 0xFFFFFFF0, "pixels beyond the end"}};
  for (const auto& [at, value, why] : fields) {
    Bytes changed = good;
    Put(changed, at, value);
    refused(changed, why);
  }
  for (const auto& [width, height] :
       {std::pair(60000, 60000), std::pair(70000, 1), std::pair(0, 3), std::pair(9, 0)}) {
    Bytes changed = good;
    Put(changed, 18, static_cast<std::uint32_t>(width));
    Put(changed, 22, static_cast<std::uint32_t>(-height));
    refused(changed, "sides that the rows do not fill or out of range");
  }
  refused(BmpFile(9, 3, {.compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}}),
          "bit fields of 24 bits");
}

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
