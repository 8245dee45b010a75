#include "picture/png_data_check.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace vandrel {
namespace {

constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kChunkFrameBytes = 12;  // length, type, and the CRC after the data
constexpr std::size_t kHeaderBytes = 13;
constexpr std::size_t kInflateBytes = 64 * 1024;

// Where each pass of Adam7 interlacing starts and how far apart its pixels are: x, y, dx, dy.
constexpr std::array<std::array<std::uint64_t, 4>, 7> kAdam7Passes{{
    {0, 0, 8, 8},
    {4, 0, 8, 8},
    {0, 4, 4, 8},
    {2, 0, 4, 4},
    {0, 2, 2, 4},
    {1, 0, 2, 2},
    {0, 1, 1, 2},
}};

std::uint32_t LoadBigEndian(std::span<const std::uint8_t> bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

std::uint64_t ChannelsOf(std::uint8_t colourType) {
  switch (colourType) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;  // grey, palette
  }
}

// The filtered bytes of a `width` x `height` picture: a filter byte, then the row's pixels.
std::uint64_t FilteredBytes(std::uint64_t width, std::uint64_t height, std::uint64_t bitsPerPixel) {
  if (width == 0 || height == 0) return 0;
  return height * (1 + (width * bitsPerPixel + 7) / 8);
}

std::uint64_t NeededBytes(std::span<const std::uint8_t> header) {
  const std::uint64_t width = LoadBigEndian(header.subspan(0, 4));
  const std::uint64_t height = LoadBigEndian(header.subspan(4, 4));
  const std::uint64_t bitsPerPixel = header[8] * ChannelsOf(header[9]);
  if (header[12] == 0) return FilteredBytes(width, height, bitsPerPixel);
  std::uint64_t needed = 0;
  for (const auto& [x, y, dx, dy] : kAdam7Passes) {
    const std::uint64_t passWidth = width > x ? (width - x + dx - 1) / dx : 0;
    const std::uint64_t passHeight = height > y ? (height - y + dy - 1) / dy : 0;
    needed += FilteredBytes(passWidth, passHeight, bitsPerPixel);
  }
  return needed;
}

}  // namespace

bool PngDataWithinHeader(std::span<const std::uint8_t> image) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  std::array<std::uint8_t, kInflateBytes> scratch{};
  std::uint64_t needed = 0;
  std::uint64_t inflated = 0;
  bool within = true;
  bool ended = false;
  std::size_t at = kSignatureBytes;
  while (within && !ended && at + kChunkFrameBytes <= image.size()) {
    const std::size_t length = LoadBigEndian(image.subspan(at, 4));
    const std::string_view type(reinterpret_cast<const char*>(image.data() + at + 4), 4);
    if (length > image.size() - at - kChunkFrameBytes) break;
    const std::span<const std::uint8_t> data = image.subspan(at + 8, length);
    at += kChunkFrameBytes + length;
    if (type == "IHDR" && length == kHeaderBytes) needed = NeededBytes(data);
    if (type == "IEND") break;
    if (type != "IDAT") continue;
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    while (stream.avail_in > 0 && within && !ended) {
      stream.next_out = scratch.data();
      stream.avail_out = static_cast<uInt>(scratch.size());
      const int result = inflate(&stream, Z_NO_FLUSH);
      inflated += scratch.size() - stream.avail_out;
      within = inflated <= needed && (result == Z_OK || result == Z_STREAM_END);
      ended = result == Z_STREAM_END;
    }
  }
  inflateEnd(&stream);
  return within;
}

}  // namespace vandrel
