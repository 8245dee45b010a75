#include "objects/object_fitting.h"

#include <string>
#include <utility>

#include "runtime/app_state.h"

namespace vandrel {

namespace {

struct FittedImage {
  std::vector<std::uint8_t> bytes;
  std::int32_t formatCode = kNoFormat;
  std::optional<PictureSize> size;
};

std::optional<FittedImage> FittedImageOf(const MediaFile& loaded, std::int32_t kind,
                                         const FitOptions& options) {
  if (kind == kSound) {
    std::optional<std::vector<std::uint8_t>> prepared = PrepareSound(loaded.data(), options.sound);
    if (!prepared) return std::nullopt;
    return FittedImage{std::move(*prepared), loaded.formatCode(), std::nullopt};
  }
  // an animation keeps its frames, whatever its format
  if (kind != kGraphic || !options.screen) return std::nullopt;
  std::optional<FittedPicture> picture = FitPicture(loaded.data(), *options.screen);
  if (!picture) return std::nullopt;
  const std::int32_t formatCode = ClassifyGraphic(PictureExtension(picture->format));
  return FittedImage{std::move(picture->bytes), formatCode,
                     PictureSize{picture->width, picture->height}};
}

}  // namespace

bool FittedObject::MuchSmaller() const {
  return bytesFitted * kMuchSmallerFactor <= bytesAsItIs;
}

std::size_t BytesToSend(const MediaFile& file) {
  return file.isConverted() ? file.converted().size() : file.data().size();
}

std::optional<FittedObject> FitObject(const MediaFile& loaded, std::int32_t kind,
                                      const FitOptions& options) {
  std::optional<FittedImage> image = FittedImageOf(loaded, kind, options);
  if (!image || image->formatCode == kNoFormat) return std::nullopt;
  FittedObject fitted{
      .file = loaded, .bytesAsItIs = BytesToSend(loaded), .pictureSize = image->size};
  if (!fitted.file.TakeFitted(std::move(image->bytes), image->formatCode, kind))
    return std::nullopt;
  fitted.bytesFitted = BytesToSend(fitted.file);
  // a picture fitted to the screen is worth sending whatever its size; a sound only when shorter
  if (kind == kSound && fitted.bytesFitted >= fitted.bytesAsItIs) return std::nullopt;
  return fitted;
}

}  // namespace vandrel
