#include "picture/bmp_decoding.h"

#include <bit>
#include <vector>

#include "picture/bmp_header.h"
#include "picture/row_scaler.h"

namespace vandrel {
namespace {

constexpr std::size_t kPaletteEntryBytes = 4;
constexpr std::uint64_t kMaxByte = 255;

// One colour's bits in a 16 or 32-bit pixel, widened to a byte.
class MaskedColour {
 public:
  explicit MaskedColour(std::uint32_t mask)
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), largest_(mask >> shift_) {}

  std::uint8_t Of(std::uint32_t pixel) const {
    if (largest_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((value * kMaxByte + largest_ / 2) / largest_);
  }

 private:
  std::uint32_t mask_;
  int shift_;
  std::uint64_t largest_;
};

// Turns the stored rows of a BMP into red green blue (and alpha) rows.
class RowUnpacker {
 public:
  explicit RowUnpacker(const BmpLayout& layout)
      : layout_(layout),
        colours_{MaskedColour(layout.masks[0]), MaskedColour(layout.masks[1]),
                 MaskedColour(layout.masks[2]), MaskedColour(layout.masks[3])},
        channels_(layout.masks[3] != 0 ? 4 : 3) {}

  int Channels() const { return channels_; }

  void Unpack(std::span<const std::uint8_t> row, std::span<std::uint8_t> pixels) const {
    const int bits = layout_.bitsPerPixel;
    std::uint8_t* out = pixels.data();
    for (int x = 0; x < layout_.size.width; ++x) {
      if (bits <= 8) {
        PaletteColour(row, x, out);
      } else if (bits == 24) {
        const std::uint8_t* bgr = &row[static_cast<std::size_t>(x) * 3];
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
      } else {
        const std::size_t bytes = static_cast<std::size_t>(bits) / 8;
        std::uint32_t pixel = 0;
        for (std::size_t i = bytes; i-- > 0;)
          pixel = (pixel << 8) | row[static_cast<std::size_t>(x) * bytes + i];
        for (int c = 0; c < channels_; ++c) out[c] = colours_[c].Of(pixel);
      }
      out += channels_;
    }
  }

 private:
  // A palette pixel: its index packed from the high bits of a byte down; black beyond the palette.
  void PaletteColour(std::span<const std::uint8_t> row, int x, std::uint8_t* out) const {
    const int bits = layout_.bitsPerPixel;
    const std::size_t bitAt = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
    const unsigned index =
        (row[bitAt / 8] >> (8 - bits - static_cast<int>(bitAt % 8))) & ((1U << bits) - 1);
    const std::size_t entryAt = index * kPaletteEntryBytes;
    const bool known = entryAt < layout_.palette.size();
    for (int c = 0; c < 3; ++c) out[c] = known ? layout_.palette[entryAt + 2 - c] : 0;
  }

  const BmpLayout& layout_;
  std::array<MaskedColour, 4> colours_;
  int channels_;
};

}  // namespace

std::optional<PictureSize> ReadBmpSize(std::span<const std::uint8_t> image) {
  const std::optional<BmpLayout> layout = ReadBmpLayout(image);
  if (!layout) return std::nullopt;
  return layout->size;
}

std::optional<RasterImage> DecodeBmp(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels) {
  const std::optional<BmpLayout> layout = ReadBmpLayout(image);
  if (!layout || std::int64_t{layout->size.width} * layout->size.height > maxPixels)
    return std::nullopt;
  const RowUnpacker unpacker(*layout);
  RowScaler scaler(layout->size, size, unpacker.Channels());
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(layout->size.width) *
                                   static_cast<std::size_t>(unpacker.Channels()));
  for (int stored = 0; stored < layout->size.height; ++stored) {
    const auto rowAt = static_cast<std::size_t>(stored) * layout->rowBytes;
    unpacker.Unpack(layout->rows.subspan(rowAt, layout->rowBytes), pixels);
    scaler.AddPixels(layout->topDown ? stored : layout->size.height - 1 - stored, pixels);
  }
  return scaler.Finish();
}

}  // namespace vandrel
