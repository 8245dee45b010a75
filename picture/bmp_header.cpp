#include "picture/bmp_header.h"

#include <algorithm>

namespace vandrel {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kPixelOffsetAt = 10;
// Offsets from the start of the information header.
constexpr std::size_t kWidthAt = 4;
constexpr std::size_t kHeightAt = 8;
constexpr std::size_t kPlanesAt = 12;
constexpr std::size_t kBitsAt = 14;
constexpr std::size_t kCompressionAt = 16;
constexpr std::size_t kColoursUsedAt = 32;
constexpr std::size_t kMasksAt = 40;
// The information header's sizes that writers use: the first version, then versions 2 to 5.
constexpr std::array<std::uint32_t, 5> kInfoHeaderBytes{40, 52, 56, 108, 124};
constexpr std::uint32_t kFirstVersionBytes = 40;
constexpr std::uint32_t kWithAlphaMaskBytes = 56;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::size_t kPaletteEntryBytes = 4;
constexpr std::int64_t kMaxSide = std::int64_t{1} << 16;
constexpr std::array<std::uint32_t, 4> kMasks16{0x7C00, 0x03E0, 0x001F, 0};
constexpr std::array<std::uint32_t, 4> kMasks32{0xFF0000, 0xFF00, 0xFF, 0};

// A little-endian word of `size` bytes at `at`, which the caller has checked lie within `bytes`.
std::uint32_t Word(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size = 4) {
  std::uint32_t word = 0;
  for (std::size_t i = size; i-- > 0;) word = (word << 8) | bytes[at + i];
  return word;
}

std::int32_t SignedWord(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(Word(bytes, at));
}

bool ValidBits(std::uint32_t bits, std::uint32_t compression) {
  if (compression == kBitFields) return bits == 16 || bits == 32;
  return compression == kUncompressed &&
         (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

}  // namespace

std::optional<BmpLayout> ReadBmpLayout(std::span<const std::uint8_t> image) {
  if (image.size() < kFileHeaderBytes + kFirstVersionBytes || image[0] != 'B' || image[1] != 'M')
    return std::nullopt;
  const std::span<const std::uint8_t> info = image.subspan(kFileHeaderBytes);
  const std::uint32_t infoBytes = Word(info, 0);
  const std::uint32_t bits = Word(info, kBitsAt, 2);
  const std::uint32_t compression = Word(info, kCompressionAt);
  const std::int64_t width = SignedWord(info, kWidthAt);
  const std::int64_t height = SignedWord(info, kHeightAt);
  if (std::ranges::find(kInfoHeaderBytes, infoBytes) == kInfoHeaderBytes.end() ||
      info.size() < infoBytes || Word(info, kPlanesAt, 2) != 1 || !ValidBits(bits, compression) ||
      width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return std::nullopt;

  BmpLayout layout{.size = {.width = static_cast<int>(width),
                            .height = static_cast<int>(height < 0 ? -height : height)},
                   .topDown = height < 0,
                   .bitsPerPixel = static_cast<int>(bits)};
  // the masks follow a first-version header, and are part of a later one (alpha from version 3)
  if (compression == kBitFields) {
    const std::size_t maskCount = infoBytes >= kWithAlphaMaskBytes ? 4 : 3;
    if (kFileHeaderBytes + kMasksAt + maskCount * sizeof(std::uint32_t) > image.size())
      return std::nullopt;
    for (std::size_t i = 0; i < maskCount; ++i)
      layout.masks.at(i) = Word(info, kMasksAt + i * sizeof(std::uint32_t));
  } else if (bits == 16) {
    layout.masks = kMasks16;
  } else if (bits == 32) {
    layout.masks = kMasks32;
  }
  // the palette follows the header: only an uncompressed picture has one
  if (bits <= 8) {
    const std::size_t tablesAt = kFileHeaderBytes + infoBytes;
    const std::uint32_t fullPalette = 1U << bits;
    const std::uint32_t used = Word(info, kColoursUsedAt);
    const std::uint32_t colours = used == 0 ? fullPalette : used;
    if (colours > fullPalette || tablesAt + colours * kPaletteEntryBytes > image.size())
      return std::nullopt;
    layout.palette = image.subspan(tablesAt, colours * kPaletteEntryBytes);
  }

  // every row within the file, checked in 64 bits: a side is at most 2^16, a pixel 32 bits
  layout.rowBytes = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
  const std::uint64_t rowsAt = Word(image, kPixelOffsetAt);
  const std::uint64_t rowsBytes = std::uint64_t{layout.rowBytes} * layout.size.height;
  if (rowsAt + rowsBytes > image.size()) return std::nullopt;
  layout.rows =
      image.subspan(static_cast<std::size_t>(rowsAt), static_cast<std::size_t>(rowsBytes));
  return layout;
}

}  // namespace vandrel
