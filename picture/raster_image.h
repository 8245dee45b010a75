#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>

namespace vandrel {

struct ReleasePixels {
  void operator()(std::uint8_t* pixels) const { std::free(pixels); }
};

// A picture's pixels, row after row from the top, `channels` bytes a pixel: grey, grey and
// alpha, red green blue, or those and alpha. The pixels are malloc'ed, so that the decoder's own
// buffer is taken over without a copy: a large photo is held once, not twice.
struct RasterImage {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<std::uint8_t[], ReleasePixels> pixels;

  std::size_t ByteCount() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
           static_cast<std::size_t>(channels);
  }
  std::span<std::uint8_t> Bytes() { return {pixels.get(), ByteCount()}; }
  std::span<const std::uint8_t> Bytes() const { return {pixels.get(), ByteCount()}; }
  // Whether the last byte of each pixel is its opacity.
  bool HasAlpha() const { return channels == 2 || channels == 4; }
};

// An image of that shape whose pixels are yet to be written; no value when memory runs out.
std::optional<RasterImage> AllocateRasterImage(int width, int height, int channels);

}  // namespace vandrel
