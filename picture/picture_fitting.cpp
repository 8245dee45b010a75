#include "picture/picture_fitting.h"

namespace vandrel {

std::optional<FittedPicture> FitPicture(std::span<const std::uint8_t>, PictureSize) {
  return std::nullopt;
}

std::string_view PictureExtension(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      return ".jpg";
    case PictureFormat::Png:
      return ".png";
    case PictureFormat::Bmp:
      return ".bmp";
  }
  return {};
}

}  // namespace vandrel
