#include "picture/image_type.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vandrel {
namespace {

// The first bytes of a type, and for a RIFF form its form type 8 bytes in.
struct Signature {
  std::string_view start;
  ImageType type;
  std::string_view formType = {};
};

constexpr std::size_t kFormTypeOffset = 8;

constexpr std::array kSignatures{
    Signature{.start = "\xFF\xD8\xFF", .type = ImageType::Jpeg},
    Signature{.start = "\x89PNG\r\n\x1A\n", .type = ImageType::Png},
    Signature{.start = "BM", .type = ImageType::Bmp},
    Signature{.start = "GIF87a", .type = ImageType::Gif},
    Signature{.start = "GIF89a", .type = ImageType::Gif},
    Signature{.start = "RIFF", .type = ImageType::Webp, .formType = "WEBP"},
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
    if (StartsWith(image, signature.start) &&
        (signature.formType.empty() ||
         (image.size() >= kFormTypeOffset &&
          StartsWith(image.subspan(kFormTypeOffset), signature.formType))))
      return signature.type;
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
    case ImageType::Webp:
      return PictureFormat::Png;
  }
  return PictureFormat::Png;
}

bool HandsetTakes(ImageType type) {
  return type != ImageType::Webp;
}

}  // namespace vandrel
