#include "picture/picture_fitting.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#endif

#include "picture/image_decoding.h"
#include "picture/stb_config.h"
#include "tests/picture/written_bytes.h"

namespace vandrel {
namespace {

// Pixels of `channels` bytes whose left half is `left` and right half `right`.
Bytes Halves(int width, int height, int channels, std::array<std::uint8_t, 4> left,
             std::array<std::uint8_t, 4> right) {
  Bytes pixels;
  for (int at = 0; at < width * height; ++at) {
    const auto& colour = at % width < width / 2 ? left : right;
    pixels.insert(pixels.end(), colour.begin(), colour.begin() + channels);
  }
  return pixels;
}

constexpr std::array<std::uint8_t, 4> kRed{255, 0, 0, 255};
constexpr std::array<std::uint8_t, 4> kBlue{0, 0, 255, 255};

// A fitted picture decoded again, in the channels it was written with.
struct Decoded {
  int width = 0;
  int height = 0;
  int channels = 0;
  Bytes pixels;
  const std::uint8_t* At(int x, int y) const { return &pixels[(y * width + x) * channels]; }
};

// `file` fitted to `box` and decoded again, once its format and its stated size are checked.
Decoded FitAndDecode(const Bytes& file, PictureSize box, PictureFormat format) {
  const std::optional<FittedPicture> fitted = FitPicture(file, box);
  EXPECT_TRUE(fitted && fitted->format == format);
  if (!fitted) return {};
  Decoded d;
  stbi_uc* pixels =
      stbi_load_from_memory(fitted->bytes.data(), static_cast<int>(fitted->bytes.size()), &d.width,
                            &d.height, &d.channels, 0);
  if (pixels != nullptr) d.pixels.assign(pixels, pixels + d.width * d.height * d.channels);
  stbi_image_free(pixels);
  EXPECT_EQ(std::pair(fitted->width, fitted->height), std::pair(d.width, d.height));
  return d;
}

// 4 x 2 pixels, two frames: red, then blue.
const Bytes kTwoFrameGif{
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45,
    0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00,
    0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x02, 0x03, 0x84, 0x6f, 0x05, 0x00, 0x21, 0xf9,
    0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x80,
    0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x03, 0x84, 0x6f, 0x05, 0x00, 0x3b};

TEST(PictureFitting, PhotoFitsTheScreenAsAJpegOfTheSameProportions) {
  const Bytes pixels = Halves(4000, 3000, 3, kRed, kBlue);
  Bytes jpeg;
  ASSERT_TRUE(stbi_write_jpg_to_func(AppendWritten, &jpeg, 4000, 3000, 3, pixels.data(), 90));
  const Decoded decoded = FitAndDecode(jpeg, {128, 160}, PictureFormat::Jpeg);
  ASSERT_EQ(std::tuple(decoded.width, decoded.height, decoded.channels), std::tuple(128, 96, 3));
  // the halves stay where they were, in their colours
  EXPECT_TRUE(decoded.At(10, 48)[0] > 200 && decoded.At(10, 48)[2] < 60);
  EXPECT_TRUE(decoded.At(117, 48)[0] < 60 && decoded.At(117, 48)[2] > 200);
}

TEST(PictureFitting, PngKeepsItsTransparencyAndBmpTurnsItWhite) {
  // an odd width, so that a pixel of the result takes the red edge and the clear white beside it
  const Bytes pixels = Halves(203, 100, 4, kRed, {255, 255, 255, 0});
  Bytes png, bmp;
  ASSERT_TRUE(stbi_write_png_to_func(AppendWritten, &png, 203, 100, 4, pixels.data(), 0));
  ASSERT_TRUE(stbi_write_bmp_to_func(AppendWritten, &bmp, 203, 100, 4, pixels.data()));

  const Decoded fromPng = FitAndDecode(png, {100, 100}, PictureFormat::Png);
  ASSERT_EQ(std::tuple(fromPng.width, fromPng.height, fromPng.channels), std::tuple(100, 49, 4));
  EXPECT_EQ(Bytes(fromPng.At(49, 25), fromPng.At(49, 25) + 3), Bytes({255, 0, 0}));
  EXPECT_GT(fromPng.At(49, 25)[3], 0);
  EXPECT_LT(fromPng.At(49, 25)[3], 255);
  EXPECT_EQ(fromPng.At(90, 25)[3], 0);
  // weighting by opacity keeps the transparent white out of the red edge's colour
  for (int x = 0; x < fromPng.width; ++x)
    EXPECT_TRUE(fromPng.At(x, 25)[3] == 0 || fromPng.At(x, 25)[0] > 240) << "at x = " << x;
  const Decoded fromBmp = FitAndDecode(bmp, {100, 100}, PictureFormat::Bmp);
  ASSERT_EQ(std::tuple(fromBmp.width, fromBmp.height, fromBmp.channels), std::tuple(100, 49, 3));
  EXPECT_EQ(Bytes(fromBmp.At(10, 25), fromBmp.At(11, 25)), Bytes({255, 0, 0}));
  EXPECT_EQ(Bytes(fromBmp.At(90, 25), fromBmp.At(91, 25)), Bytes({255, 255, 255}));
}

TEST(PictureFitting, GifGivesItsFirstFrameAsPng) {
  const Decoded decoded = FitAndDecode(kTwoFrameGif, {2, 2}, PictureFormat::Png);
  ASSERT_EQ(std::pair(decoded.width, decoded.height), std::pair(2, 1));
  EXPECT_EQ(Bytes(decoded.At(1, 0), decoded.At(2, 0)), Bytes({255, 0, 0, 255}));
}

TEST(PictureFitting, NoValueForWhatNeedsNoFittingOrCannotBeFitted) {
  EXPECT_FALSE(FitPicture(kTwoFrameGif, {4, 2}));
  EXPECT_FALSE(FitPicture(Bytes(5000, 0x5A), {128, 160}));
  // a bitmap of no rows: nothing to scale
  const Bytes pixels = Halves(200, 100, 3, kRed, kBlue);
  Bytes bmp;
  ASSERT_TRUE(stbi_write_bmp_to_func(AppendWritten, &bmp, 200, 100, 3, pixels.data()));
  bmp[22] = 0;
  EXPECT_FALSE(FitPicture(bmp, {100, 100}));
  // a picture whose header promises more than the frames give is still refused
  Bytes truncated(kTwoFrameGif.begin(), kTwoFrameGif.begin() + 20);
  EXPECT_FALSE(FitPicture(truncated, {2, 2}));
  // the same frames on a screen of 8200 x 8000 pixels: decodable, but more than 64 megapixels;
  // on a screen of 8200 x 100 they are fitted
  Bytes huge = kTwoFrameGif;
  std::ranges::copy(Bytes{0x08, 0x20, 0x40, 0x1F}, huge.begin() + 6);
  EXPECT_FALSE(FitPicture(huge, {128, 160}));
  std::ranges::copy(Bytes{0x64, 0x00}, huge.begin() + 8);
  EXPECT_TRUE(FitPicture(huge, {128, 160}));
}

// A 4000 x 3000 photo in JPEG.
Bytes Photo() {
  const Bytes pixels = Halves(4000, 3000, 3, kRed, kBlue);
  Bytes jpeg;
  EXPECT_TRUE(stbi_write_jpg_to_func(AppendWritten, &jpeg, 4000, 3000, 3, pixels.data(), 90));
  return jpeg;
}

// A JPEG comes scaled to the size asked for, from a smaller scale of its decoder or from its
// whole size, each half keeping its colour.
TEST(PictureDecoding, JpegComesScaledToTheSizeAskedFor) {
  const Bytes jpeg = Photo();
  for (const PictureSize size : {PictureSize{128, 96}, PictureSize{2001, 1}}) {
    const std::optional<RasterImage> image = DecodeImage(jpeg, size, 64'000'000);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(std::tuple(image->width, image->height, image->channels),
              std::tuple(size.width, size.height, 3));
    const std::uint8_t* left = image->pixels.get();
    const std::uint8_t* right = left + (size.width - 1) * 3;
    EXPECT_GT(left[0], 240);
    EXPECT_LT(left[2], 16);
    EXPECT_LT(right[0], 16);
    EXPECT_GT(right[2], 240);
  }
}

// 4 x 8 pixels, interlaced: the top half red, the bottom half green, the top left pixel
// transparent.
const Bytes kInterlacedGif{0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x08, 0x00, 0xf1, 0x00,
                           0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x02, 0x00, 0x2c, 0x00, 0x00,
                           0x00, 0x00, 0x04, 0x00, 0x08, 0x00, 0x40, 0x02, 0x09, 0x14, 0x1e, 0x19,
                           0x87, 0xca, 0x0f, 0x94, 0x0c, 0x05, 0x00, 0x3b};

TEST(PictureDecoding, GifRowsGoWhereTheirInterlacingPutsThemAndItsTransparentColourIsClear) {
  const std::optional<RasterImage> image = DecodeImage(kInterlacedGif, {4, 8}, 64'000'000);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(std::tuple(image->width, image->height, image->channels), std::tuple(4, 8, 4));
  const auto pixel = [&](int x, int y) {
    const std::uint8_t* at = image->pixels.get() + (y * 4 + x) * 4;
    return Bytes(at, at + 4);
  };
  EXPECT_EQ(pixel(0, 0)[3], 0);
  EXPECT_EQ(pixel(1, 1), Bytes({255, 0, 0, 255}));
  EXPECT_EQ(pixel(2, 3), Bytes({255, 0, 0, 255}));
  EXPECT_EQ(pixel(1, 4), Bytes({0, 255, 0, 255}));
  // on a screen of one pixel the frame is cut to it, but counts whole against the bound
  Bytes onePixelScreen = kInterlacedGif;
  onePixelScreen[6] = 1;
  onePixelScreen[8] = 1;
  EXPECT_TRUE(DecodeImage(onePixelScreen, {1, 1}, 32).has_value());
  EXPECT_FALSE(DecodeImage(onePixelScreen, {1, 1}, 31).has_value());
}

// 16 x 8 red pixels, lossless.
const Bytes kRedWebp{0x52, 0x49, 0x46, 0x46, 0x1c, 0x00, 0x00, 0x00, 0x57, 0x45, 0x42, 0x50,
                     0x56, 0x50, 0x38, 0x4c, 0x0f, 0x00, 0x00, 0x00, 0x2f, 0x0f, 0xc0, 0x01,
                     0x00, 0x07, 0x10, 0xfd, 0x8f, 0xfe, 0x07, 0x22, 0xa2, 0xff, 0x01, 0x00};

// A WebP without alpha comes as red green blue; its pixels count against the bound before any
// memory is taken for them.
TEST(PictureDecoding, WebpDecodesWithinThePixelBound) {
  const std::optional<RasterImage> image = DecodeImage(kRedWebp, {16, 8}, 128);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(std::tuple(image->width, image->height, image->channels), std::tuple(16, 8, 3));
  EXPECT_EQ(Bytes(image->pixels.get() + 3 * 127, image->pixels.get() + 3 * 128),
            Bytes({255, 0, 0}));
  EXPECT_FALSE(DecodeImage(kRedWebp, {16, 8}, 127).has_value());
}

void AppendChunk(Bytes& png, std::string_view type, const Bytes& data) {
  const auto appendWord = [&png](std::uint32_t word) {
    for (const int shift : {24, 16, 8, 0}) png.push_back(static_cast<std::uint8_t>(word >> shift));
  };
  appendWord(static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  appendWord(static_cast<std::uint32_t>(
      crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt))));
}

// A `side` x `side` RGB PNG whose image data inflates to `zeros` zero bytes (a black picture when
// that is what its rows need), deflated a mebibyte at a time.
Bytes BlackPng(std::size_t zeros, std::uint32_t side = 200) {
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  for (int word = 0; word < 2; ++word)
    for (const int shift : {24, 16, 8, 0})
      header.push_back(static_cast<std::uint8_t>(side >> shift));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  z_stream stream{};
  EXPECT_EQ(deflateInit(&stream, Z_BEST_COMPRESSION), Z_OK);
  const Bytes block(std::size_t{1} << 20, 0);
  Bytes deflated(deflateBound(&stream, static_cast<uLong>(block.size())));
  for (std::size_t left = zeros; left > 0 || stream.avail_in > 0;) {
    const std::size_t piece = std::min(left, block.size());
    left -= piece;
    stream.next_in = const_cast<Bytef*>(block.data());
    stream.avail_in = static_cast<uInt>(piece);
    do {
      stream.next_out = deflated.data();
      stream.avail_out = static_cast<uInt>(deflated.size());
      deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
      const Bytes data(deflated.begin(), deflated.end() - stream.avail_out);
      if (!data.empty()) AppendChunk(png, "IDAT", data);
    } while (stream.avail_out == 0 || (left == 0 && stream.avail_in > 0));
    if (left == 0) break;
  }
  deflateEnd(&stream);
  AppendChunk(png, "IEND", {});
  return png;
}

constexpr std::size_t kBlackRowsBytes = 200 * (1 + 200 * 3);

// Image data beyond what the header needs is refused, by its first byte too many.
TEST(PictureDecoding, APngWhoseDataOverrunsItsHeaderIsRefused) {
  const Decoded decoded = FitAndDecode(BlackPng(kBlackRowsBytes), {128, 160}, PictureFormat::Png);
  ASSERT_EQ(std::pair(decoded.width, decoded.height), std::pair(128, 128));
  EXPECT_EQ(Bytes(decoded.At(5, 5), decoded.At(6, 5)), Bytes({0, 0, 0}));
  EXPECT_FALSE(FitPicture(BlackPng(kBlackRowsBytes + 1), {128, 160}));
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// In a child process of `headroomBytes` more address space than it uses: 0 when `file` is
// refused, 1 when it was fitted, and a crash or a kill when memory ran out.
int FitUnderMemoryLimit(const Bytes& file, rlim_t headroomBytes) {
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t used = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
  const rlimit limit{used + headroomBytes, used + headroomBytes};
  setrlimit(RLIMIT_AS, &limit);
  return FitPicture(file, {128, 160}) ? 1 : 0;
}

// A JPEG whose header claims 60 000 x 60 000 pixels is refused without the memory its decoding
// would take (at an eighth of the size, 168 MB of pixels).
TEST(PictureDecodingDeathTest, AJpegClaimingHugeSidesIsRefusedWithinTheMemoryBound) {
  GTEST_FLAG_SET(death_test_style, "fast");
  Bytes jpeg = Photo();
  const Bytes startOfFrame{0xFF, 0xC0};
  const auto frame =
      std::search(jpeg.begin(), jpeg.end(), startOfFrame.begin(), startOfFrame.end());
  ASSERT_NE(frame, jpeg.end());
  std::ranges::copy(Bytes{0xEA, 0x60, 0xEA, 0x60}, frame + 5);
  EXPECT_EXIT(_exit(FitUnderMemoryLimit(jpeg, rlim_t{256} << 20)), testing::ExitedWithCode(0), "");
}

// A PNG of 200 x 200 pixels whose data inflates to 256 MiB of zeros is refused within 64 MB.
TEST(PictureDecodingDeathTest, APngBombIsRefusedWithinTheMemoryBound) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const Bytes bomb = BlackPng(std::size_t{256} << 20);
  EXPECT_EXIT(_exit(FitUnderMemoryLimit(bomb, rlim_t{64} << 20)), testing::ExitedWithCode(0), "");
}

// A PNG of 8000 x 8000 pixels is fitted within 64 MB, less than a third of its pixels: its rows
// go one at a time into the scaler.
TEST(PictureDecodingDeathTest, ALargePngIsFittedWithoutHoldingItsPixels) {
  GTEST_FLAG_SET(death_test_style, "fast");
  constexpr std::uint32_t kSide = 8000;
  const Bytes large = BlackPng(std::size_t{kSide} * (1 + kSide * 3), kSide);
  EXPECT_EXIT(_exit(FitUnderMemoryLimit(large, rlim_t{64} << 20)), testing::ExitedWithCode(1), "");
}
#endif

}  // namespace
}  // namespace vandrel
