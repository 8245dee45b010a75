#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vandrel {

// A handset screen, in pixels.
struct PictureSize {
  int width = 0;
  int height = 0;
};

enum class PictureFormat { Jpeg, Png, Bmp };

struct FittedPicture {
  std::vector<std::uint8_t> bytes;
  PictureFormat format;
  int width = 0;
  int height = 0;
};

// Decodes a JPEG, PNG, BMP, GIF or WebP image (a GIF's first frame) and, when it is larger than
// `box` in either direction, scales it down to fit inside `box`, keeping its aspect ratio, and
// encodes it in the format it came in (a GIF or WebP as PNG; JPEG at a quality chosen for size).
// A WebP, which the handset does not take, is re-encoded even when it already fits. No value
// when the image cannot be decoded, or already fits inside `box`. Safe to call on any thread.
std::optional<FittedPicture> FitPicture(std::span<const std::uint8_t> image, PictureSize box);

// The file name extension of `format`, with its dot: ".jpg", ".png", ".bmp".
std::string_view PictureExtension(PictureFormat format);

}  // namespace vandrel
