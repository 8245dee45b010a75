#include "picture/picture_fitting.h"

#include "picture/alpha_flattening.h"
#include "picture/fitted_size.h"
#include "picture/image_decoding.h"
#include "picture/image_encoding.h"
#include "picture/image_type.h"

namespace vandrel {
namespace {

// Far beyond any camera a user sends from, yet a bound on what a forged header can make us take:
// a picture goes row by row into the scaler, or shrinks as it is decoded (a lossless WebP, held
// whole by its decoder, has a lower bound of its own).
constexpr std::int64_t kMaxPicturePixels = 64'000'000;

}  // namespace

std::optional<FittedPicture> FitPicture(std::span<const std::uint8_t> image, PictureSize box) {
  const std::optional<ImageType> type = DetectImageType(image);
  const std::optional<PictureSize> size = ReadImageSize(image);
  if (!type || !size) return std::nullopt;
  // a picture the handset does not take goes at its own size when that already fits
  const std::optional<PictureSize> fitted =
      HandsetTakes(*type) ? FittedSize(*size, box) : FittedSize(*size, box).value_or(*size);
  if (!fitted) return std::nullopt;
  std::optional<RasterImage> scaled = DecodeImage(image, *fitted, kMaxPicturePixels);
  const PictureFormat format = FittedFormat(*type);
  if (scaled && format != PictureFormat::Png) scaled = FlattenOntoWhite(std::move(*scaled));
  if (!scaled) return std::nullopt;
  std::optional<std::vector<std::uint8_t>> bytes = EncodeImage(*scaled, format);
  if (!bytes) return std::nullopt;
  return FittedPicture{.bytes = std::move(*bytes),
                       .format = format,
                       .width = fitted->width,
                       .height = fitted->height};
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
