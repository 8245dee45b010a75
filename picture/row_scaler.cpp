#include "picture/row_scaler.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vandrel {
namespace {

constexpr float kMaxByte = 255.0F;
// The sRGB transfer function and its inverse.
constexpr float kLinearBelow = 0.04045F;
constexpr float kLinearSlope = 12.92F;
constexpr float kCurveOffset = 0.055F;
constexpr float kCurveScale = 1.055F;
constexpr float kCurveExponent = 2.4F;
constexpr float kEncodedLinearBelow = 0.0031308F;

const std::array<float, 256>& LightOfByte() {
  static const std::array<float, 256> light = [] {
    std::array<float, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
      const float value = static_cast<float>(byte) / kMaxByte;
      table[byte] = value <= kLinearBelow
                        ? value / kLinearSlope
                        : std::pow((value + kCurveOffset) / kCurveScale, kCurveExponent);
    }
    return table;
  }();
  return light;
}

std::uint8_t ByteOfLight(float light) {
  const float value = light <= kEncodedLinearBelow
                          ? light * kLinearSlope
                          : kCurveScale * std::pow(light, 1.0F / kCurveExponent) - kCurveOffset;
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0F, 1.0F) * kMaxByte));
}

}  // namespace

std::vector<RowScaler::Cover> RowScaler::Covers(int source, int result) {
  std::vector<Cover> covers(static_cast<std::size_t>(std::max(source, 0)));
  const double ratio = static_cast<double>(result) / source;
  for (int i = 0; i < source; ++i) {
    const double start = i * ratio;
    const double end = (i + 1) * ratio;
    for (int j = static_cast<int>(start); j < result && j < end; ++j) {
      const double covered = std::min(end, j + 1.0) - std::max(start, static_cast<double>(j));
      if (covered > 0) covers[static_cast<std::size_t>(i)].emplace_back(j, covered);
    }
  }
  return covers;
}

RowScaler::RowScaler(PictureSize source, PictureSize size, int channels)
    : size_(size),
      channels_(channels),
      colours_(channels == 2 || channels == 4 ? channels - 1 : channels),
      columns_(Covers(source.width, size.width)),
      rows_(Covers(source.height, size.height)),
      sums_(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) *
            static_cast<std::size_t>(colours_ + 2)) {}

void RowScaler::AddPixels(int y, std::span<const std::uint8_t> pixels, int column, int step) {
  if (y < 0 || static_cast<std::size_t>(y) >= rows_.size()) return;
  const std::array<float, 256>& light = LightOfByte();
  const auto stride = static_cast<std::size_t>(colours_ + 2);
  const auto pixelBytes = static_cast<std::size_t>(channels_);
  for (std::size_t at = 0; at + pixelBytes <= pixels.size(); at += pixelBytes, column += step) {
    if (column < 0 || static_cast<std::size_t>(column) >= columns_.size()) break;
    const std::uint8_t* pixel = pixels.data() + at;
    const float opacity =
        colours_ < channels_ ? static_cast<float>(pixel[colours_]) / kMaxByte : 1.0F;
    for (const auto& [row, rowCover] : rows_[static_cast<std::size_t>(y)]) {
      for (const auto& [x, columnCover] : columns_[static_cast<std::size_t>(column)]) {
        const float cover = rowCover * columnCover;
        float* sum = sums_.data() + (static_cast<std::size_t>(row) * size_.width + x) * stride;
        for (int c = 0; c < colours_; ++c) sum[c] += light[pixel[c]] * opacity * cover;
        sum[colours_] += opacity * cover;
        sum[colours_ + 1] += cover;
      }
    }
  }
}

std::optional<RasterImage> RowScaler::Finish() const {
  std::optional<RasterImage> scaled = AllocateRasterImage(size_.width, size_.height, channels_);
  if (!scaled) return std::nullopt;
  const auto stride = static_cast<std::size_t>(colours_ + 2);
  std::uint8_t* out = scaled->pixels.get();
  for (std::size_t at = 0; at < sums_.size(); at += stride) {
    const float* sum = sums_.data() + at;
    const float opacity = sum[colours_];
    for (int c = 0; c < colours_; ++c) *out++ = opacity > 0 ? ByteOfLight(sum[c] / opacity) : 0;
    if (colours_ < channels_) {
      const float cover = sum[colours_ + 1];
      *out++ = static_cast<std::uint8_t>(
          std::lround(cover > 0 ? std::clamp(opacity / cover, 0.0F, 1.0F) * kMaxByte : 0.0F));
    }
  }
  return scaled;
}

}  // namespace vandrel
