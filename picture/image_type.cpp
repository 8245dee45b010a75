#include "picture/image_type.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vandrel {
namespace {

struct Signature {
  std::string_view start;
  ImageType type;
};

constexpr std::array kSignatures{
    Signature{.start = "\xFF\xD8\xFF", .type = ImageType::Jpeg},
    Signature{.start = "\x89PNG\r\n\x1A\n", .type = ImageType::Png},
    Signature{.start = "BM", .type = ImageType::Bmp},
    Signature{.start = "GIF87a", .type = ImageType::Gif},
    Signature{.start = "GIF89a", .type = ImageType::Gif},
};

bool StartsWith(std::span<const std::uint8_t> image, std::string_view start) {
  return image.size() >= start.size() &&
         std::equal(start.begin(), start.end(), image.begin(),
                    [](char expected, std::uint8_t byte) {
                      return static_cast<std::uint8_t>(expected) == byte;
                    });
}

}  // namespace

std::optional<ImageType> DetectImageType(std::span<const std::uint8_t> image) {
  for (const Signature& signature : kSignatures) {
    if (StartsWith(image, signature.start)) return signature.type;
  }
  return std::nullopt;
}

PictureFormat FittedFormat(ImageType type) {
  switch (type) {
    case ImageType::Jpeg:
      return PictureFormat::Jpeg;
    case ImageType::Bmp:
      return PictureFormat::Bmp;
    case ImageType::Png:
    case ImageType::Gif:
      return PictureFormat::Png;
  }
  return PictureFormat::Png;
}

}  // namespace vandrel
