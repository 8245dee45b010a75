#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "objects/media_file.h"
#include "picture/picture_fitting.h"
#include "sound/sound_preparation.h"

namespace vandrel {

// How a loaded object is made for the handset: the screen a wallpaper or screensaver is fitted to
// (none: pictures stay as they are), and how a sound is prepared.
struct FitOptions {
  std::optional<PictureSize> screen;
  SoundPreparation sound;
};

// A loaded object made for the handset, and what each version puts on the line.
struct FittedObject {
  MediaFile file;
  std::size_t bytesAsItIs = 0;
  std::size_t bytesFitted = 0;
  // The fitted picture's size in pixels; none for a sound.
  std::optional<PictureSize> pictureSize;

  // At least kMuchSmallerFactor times fewer bytes to send.
  bool MuchSmaller() const;
};

inline constexpr std::size_t kMuchSmallerFactor = 4;

// The bytes a send of `file` puts on the line: its ADPCM rendition when it has one, else the file.
std::size_t BytesToSend(const MediaFile& file);

// `loaded`, an object of `kind`, made for the handset: a sound prepared and then given its ADPCM
// rendition as a loaded file is, when that sends fewer bytes; a wallpaper or screensaver larger
// than the screen of `options`, fitted to it in the format it came in, or as a PNG for a GIF.
// No value for every other object, and when there is nothing to gain.
std::optional<FittedObject> FitObject(const MediaFile& loaded, std::int32_t kind,
                                      const FitOptions& options);

}  // namespace vandrel
