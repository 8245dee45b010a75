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
#include <webp/encode.h>

#include <fstream>
#endif

#include "picture/bmp_encoding.h"
#include "picture/fitted_size.h"
#include "picture/image_decoding.h"
#include "picture/jpeg_encoding.h"
#include "picture/png_encoding.h"
#include "tests/picture/test_pictures.h"

namespace vandrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test_pictures::kInterlacedGif;
using test_pictures::kRedWebp;

constexpr std::int64_t kAnyPixels = 64'000'000;

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

// An image of `pixels`, `channels` bytes each.
RasterImage ImageOf(int width, int height, int channels, const Bytes& pixels) {
  std::optional<RasterImage> image = AllocateRasterImage(width, height, channels);
  EXPECT_TRUE(image && image->ByteCount() == pixels.size());
  std::ranges::copy(pixels, image->pixels.get());
  return std::move(*image);
}

// A 4000 x 3000 photo in JPEG, its left half red, its right half blue.
Bytes Photo() {
  return EncodeJpeg(ImageOf(4000, 3000, 3, Halves(4000, 3000, 3, kRed, kBlue)), 90).value();
}

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
  const std::optional<RasterImage> image =
      DecodeImage(fitted->bytes, {fitted->width, fitted->height}, kAnyPixels);
  EXPECT_TRUE(image.has_value());
  if (!image) return {};
  const std::span<const std::uint8_t> pixels = image->Bytes();
  return {.width = image->width,
          .height = image->height,
          .channels = image->channels,
          .pixels = Bytes(pixels.begin(), pixels.end())};
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
  const Decoded decoded = FitAndDecode(Photo(), {128, 160}, PictureFormat::Jpeg);
  ASSERT_EQ(std::tuple(decoded.width, decoded.height, decoded.channels), std::tuple(128, 96, 3));
  // the halves stay where they were, in their colours
  EXPECT_TRUE(decoded.At(10, 48)[0] > 200 && decoded.At(10, 48)[2] < 60);
  EXPECT_TRUE(decoded.At(117, 48)[0] < 60 && decoded.At(117, 48)[2] > 200);
}

TEST(PictureFitting, PngKeepsItsTransparency) {
  // an odd width, so that a pixel of the result takes the red edge and the clear white beside it
  const Bytes pixels = Halves(203, 100, 4, kRed, {255, 255, 255, 0});
  const Bytes png = EncodePng(ImageOf(203, 100, 4, pixels)).value();

  const Decoded fromPng = FitAndDecode(png, {100, 100}, PictureFormat::Png);
  ASSERT_EQ(std::tuple(fromPng.width, fromPng.height, fromPng.channels), std::tuple(100, 49, 4));
  EXPECT_EQ(Bytes(fromPng.At(49, 25), fromPng.At(49, 25) + 3), Bytes({255, 0, 0}));
  EXPECT_GT(fromPng.At(49, 25)[3], 0);
  EXPECT_LT(fromPng.At(49, 25)[3], 255);
  EXPECT_EQ(fromPng.At(90, 25)[3], 0);
  // weighting by opacity keeps the transparent white out of the red edge's colour
  for (int x = 0; x < fromPng.width; ++x)
    EXPECT_TRUE(fromPng.At(x, 25)[3] == 0 || fromPng.At(x, 25)[0] > 240) << "at x = " << x;
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
  Bytes bmp = EncodeBmp(ImageOf(200, 100, 3, Halves(200, 100, 3, kRed, kBlue))).value();
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

// A JPEG comes scaled to the size asked for, from a smaller scale of its decoder or from its
// whole size, each half keeping its colour.
TEST(PictureDecoding, JpegComesScaledToTheSizeAskedFor) {
  const Bytes jpeg = Photo();
  for (const PictureSize size : {PictureSize{128, 96}, PictureSize{2001, 1}}) {
    const std::optional<RasterImage> image = DecodeImage(jpeg, size, kAnyPixels);
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

TEST(PictureDecoding, GifRowsGoWhereTheirInterlacingPutsThemAndItsTransparentColourIsClear) {
  const std::optional<RasterImage> image = DecodeImage(kInterlacedGif, {4, 8}, kAnyPixels);
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

// The red pixels of kRedWebp, lossless, on sides of `width` x `height` (its one colour fills them
// all).
Bytes RedWebp(std::uint32_t width, std::uint32_t height) {
  Bytes webp = kRedWebp;
  // after the signature byte: 14 bits of width less one, 14 of height less one, then flags
  const std::uint32_t sides = (width - 1) | (height - 1) << 14;
  for (std::size_t i = 0; i < 4; ++i)
    webp[21 + i] =
        static_cast<std::uint8_t>((webp[21 + i] & (i == 3 ? 0xF0 : 0)) | sides >> (8 * i));
  return webp;
}

// A WebP without alpha comes as red green blue; its pixels count against the bound before any
// memory is taken for them.
TEST(PictureDecoding, WebpDecodesWithinThePixelBound) {
  const std::optional<RasterImage> image = DecodeImage(kRedWebp, {16, 8}, 128);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(std::tuple(image->width, image->height, image->channels), std::tuple(16, 8, 3));
  EXPECT_EQ(Bytes(image->pixels.get() + 3 * 127, image->pixels.get() + 3 * 128),
            Bytes({255, 0, 0}));
  EXPECT_FALSE(DecodeImage(kRedWebp, {16, 8}, 127).has_value());
  // and shrunk as it is decoded, to any size
  const std::optional<RasterImage> small = DecodeImage(kRedWebp, {4, 2}, 128);
  ASSERT_TRUE(small.has_value());
  ASSERT_EQ(std::tuple(small->width, small->height), std::tuple(4, 2));
  EXPECT_EQ(Bytes(small->pixels.get() + 3 * 7, small->pixels.get() + 3 * 8), Bytes({255, 0, 0}));
  // a lossless one, which its decoder holds whole, has 16 million pixels at most
  EXPECT_TRUE(DecodeImage(RedWebp(4000, 4000), {4, 4}, kAnyPixels).has_value());
  EXPECT_FALSE(DecodeImage(RedWebp(4000, 4001), {4, 4}, kAnyPixels).has_value());
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

// The signature and header of a `width` x `height` RGB PNG, `interlace` its last byte.
Bytes PngStart(std::uint32_t width, std::uint32_t height, std::uint8_t interlace) {
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  for (const std::uint32_t side : {width, height})
    for (const int shift : {24, 16, 8, 0})
      header.push_back(static_cast<std::uint8_t>(side >> shift));
  header.insert(header.end(), {8, 2, 0, 0, interlace});
  AppendChunk(png, "IHDR", header);
  return png;
}

// A `side` x `side` RGB PNG whose image data inflates to `zeros` zero bytes (a black picture when
// that is what its rows need), deflated a mebibyte at a time.
Bytes BlackPng(std::size_t zeros, std::uint32_t side = 200) {
  Bytes png = PngStart(side, side, 0);
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

// A `width` x `height` RGB PNG of `pixels`, interlaced: seven passes over the picture, from every
// 8th pixel of every 8th row to the pixels between those of the pass before.
Bytes InterlacedPng(std::uint32_t width, std::uint32_t height, const Bytes& pixels) {
  struct Pass {
    std::uint32_t x, y, stepX, stepY;
  };
  constexpr std::array<Pass, 7> kPasses{{{0, 0, 8, 8},
                                         {4, 0, 8, 8},
                                         {0, 4, 4, 8},
                                         {2, 0, 4, 4},
                                         {0, 2, 2, 4},
                                         {1, 0, 2, 2},
                                         {0, 1, 1, 2}}};
  Bytes rows;
  for (const Pass& pass : kPasses) {
    if (pass.x >= width) continue;
    for (std::uint32_t y = pass.y; y < height; y += pass.stepY) {
      rows.push_back(0);  // no filter
      for (std::uint32_t x = pass.x; x < width; x += pass.stepX)
        rows.insert(rows.end(), pixels.begin() + (y * width + x) * 3,
                    pixels.begin() + (y * width + x + 1) * 3);
    }
  }
  Bytes png = PngStart(width, height, 1);
  uLongf deflatedBytes = compressBound(static_cast<uLong>(rows.size()));
  Bytes deflated(deflatedBytes);
  EXPECT_EQ(compress(deflated.data(), &deflatedBytes, rows.data(), static_cast<uLong>(rows.size())),
            Z_OK);
  deflated.resize(deflatedBytes);
  AppendChunk(png, "IDAT", deflated);
  AppendChunk(png, "IEND", {});
  return png;
}

// Each pass's pixels land where it took them from: at its own size every pixel is back, and
// fitted the halves keep their sides.
TEST(PictureDecoding, AnInterlacedPngComesBackPixelForPixel) {
  constexpr std::uint32_t kWidth = 11;
  constexpr std::uint32_t kHeight = 9;
  Bytes pixels;
  for (std::uint32_t y = 0; y < kHeight; ++y)
    for (std::uint32_t x = 0; x < kWidth; ++x)
      pixels.insert(pixels.end(),
                    {static_cast<std::uint8_t>(x * 25), static_cast<std::uint8_t>(y * 30),
                     static_cast<std::uint8_t>(x * y % 2 * 255)});
  const std::optional<RasterImage> image =
      DecodeImage(InterlacedPng(kWidth, kHeight, pixels), {kWidth, kHeight}, kAnyPixels);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->channels, 3);
  const std::span<const std::uint8_t> decoded = image->Bytes();
  for (std::size_t at = 0; at < pixels.size(); ++at)
    EXPECT_NEAR(decoded[at], pixels[at], 1) << "pixel " << at / 3 << ", colour " << at % 3;

  const Decoded fitted = FitAndDecode(InterlacedPng(200, 100, Halves(200, 100, 3, kRed, kBlue)),
                                      {50, 50}, PictureFormat::Png);
  ASSERT_EQ(std::pair(fitted.width, fitted.height), std::pair(50, 25));
  EXPECT_EQ(Bytes(fitted.At(5, 10), fitted.At(6, 10)), Bytes({255, 0, 0}));
  EXPECT_EQ(Bytes(fitted.At(45, 10), fitted.At(46, 10)), Bytes({0, 0, 255}));
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

// A lossy WebP photo of 8000 x 6000 pixels is fitted within 24 MB, a sixth of its pixels: it
// shrinks as it is decoded.
TEST(PictureDecodingDeathTest, ALargeWebpIsFittedWithoutHoldingItsPixels) {
  GTEST_FLAG_SET(death_test_style, "fast");
  constexpr int kWidth = 8000;
  constexpr int kHeight = 6000;
  WebPConfig config;
  WebPPicture picture;
  ASSERT_TRUE(WebPConfigInit(&config) && WebPPictureInit(&picture));
  config.method = 0;
  picture.width = kWidth;
  picture.height = kHeight;
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  {
    const Bytes pixels = Halves(kWidth, kHeight, 3, kRed, kBlue);
    ASSERT_TRUE(WebPPictureImportRGB(&picture, pixels.data(), kWidth * 3));
  }
  const bool encoded = WebPEncode(&config, &picture) != 0;
  WebPPictureFree(&picture);
  const Bytes webp(writer.mem, writer.mem + writer.size);
  WebPMemoryWriterClear(&writer);
  ASSERT_TRUE(encoded);
  const Decoded decoded = FitAndDecode(webp, {128, 160}, PictureFormat::Png);
  ASSERT_EQ(std::pair(decoded.width, decoded.height), std::pair(128, 96));
  EXPECT_TRUE(decoded.At(10, 48)[0] > 240 && decoded.At(10, 48)[2] < 16);
  EXPECT_TRUE(decoded.At(117, 48)[0] < 16 && decoded.At(117, 48)[2] > 240);
  EXPECT_EXIT(_exit(FitUnderMemoryLimit(webp, rlim_t{24} << 20)), testing::ExitedWithCode(1), "");
}
#endif

TEST(FittedSize, KeepsTheProportionsInsideTheBox) {
  const struct {
    PictureSize image;
    PictureSize box;
    std::optional<std::pair<int, int>> fitted;
  } cases[] = {// a portrait photo in a portrait screen: the height bounds it
               {{3000, 4000}, {128, 160}, std::pair(120, 160)},
               // 1000 x 700 in 96 x 65: a width of 92.86 rounds up
               {{1000, 700}, {96, 65}, std::pair(93, 65)},
               // a side that would round to nothing keeps one pixel
               {{10000, 10}, {100, 100}, std::pair(100, 1)},
               // already fits, to the pixel; a box without area fits nothing
               {{128, 160}, {128, 160}, std::nullopt},
               {{400, 300}, {0, 160}, std::nullopt}};
  for (const auto& c : cases) {
    const std::optional<PictureSize> fitted = FittedSize(c.image, c.box);
    EXPECT_EQ(fitted ? std::optional(std::pair(fitted->width, fitted->height)) : std::nullopt,
              c.fitted);
  }
}

}  // namespace
}  // namespace vandrel
