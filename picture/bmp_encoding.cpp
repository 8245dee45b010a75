#include "picture/bmp_encoding.h"

#include <limits>

namespace vandrel {
namespace {

constexpr int kChannels = 3;
constexpr std::uint32_t kHeadersBytes = 14 + 40;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kBitsPerPixel = 24;

void Append(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeBmp(const RasterImage& image) {
  if (image.channels != kChannels || image.width <= 0 || image.height <= 0) return std::nullopt;
  const std::uint64_t rowBytes =
      (std::uint64_t{static_cast<std::uint32_t>(image.width)} * kChannels + 3) / 4 * 4;
  const std::uint64_t rowsBytes = rowBytes * static_cast<std::uint32_t>(image.height);
  if (kHeadersBytes + rowsBytes > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;

  std::vector<std::uint8_t> bytes{'B', 'M'};
  bytes.reserve(kHeadersBytes + rowsBytes);
  Append(bytes, static_cast<std::uint32_t>(kHeadersBytes + rowsBytes), 4);
  Append(bytes, 0, 4);  // reserved
  Append(bytes, kHeadersBytes, 4);
  Append(bytes, kInfoHeaderBytes, 4);
  Append(bytes, static_cast<std::uint32_t>(image.width), 4);
  Append(bytes, static_cast<std::uint32_t>(image.height), 4);
  Append(bytes, kPlanes, 2);
  Append(bytes, kBitsPerPixel, 2);
  Append(bytes, 0, 4);  // uncompressed
  Append(bytes, static_cast<std::uint32_t>(rowsBytes), 4);
  // no resolution given, and every colour used and important
  bytes.resize(bytes.size() + 4 * sizeof(std::uint32_t), 0);
  const std::span<const std::uint8_t> pixels = image.Bytes();
  const std::size_t pixelBytes = static_cast<std::size_t>(image.width) * kChannels;
  for (int y = image.height; y-- > 0;) {
    const std::span<const std::uint8_t> row =
        pixels.subspan(static_cast<std::size_t>(y) * pixelBytes, pixelBytes);
    for (std::size_t x = 0; x < row.size(); x += kChannels)
      bytes.insert(bytes.end(), {row[x + 2], row[x + 1], row[x]});
    bytes.resize(bytes.size() + static_cast<std::size_t>(rowBytes) - pixelBytes, 0);
  }
  return bytes;
}

}  // namespace vandrel
