// Arbitrary bytes as an object of any kind and format, fitted to a small screen: the sound
// preparation and its ADPCM rendition, the picture decoders, scaler and encoders, as a send with
// fitting on runs them. The first byte chooses the kind and format, the next two the screen.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "objects/object_fitting.h"
#include "picture/image_decoding.h"
#include "runtime/app_state.h"

namespace {

using namespace vandrel;

struct KindAndFormat {
  std::int32_t kind;
  std::int32_t formatCode;
};

// a sound, the pictures fitting reads, an animation and a vCard, which are never fitted
constexpr std::array<KindAndFormat, 7> kObjects{{{kSound, 1},
                                                 {kGraphic, 102},
                                                 {kGraphic, 103},
                                                 {kGraphic, 104},
                                                 {kGraphic, 105},
                                                 {kAnimation, 105},
                                                 {kVCard, 220}}};
constexpr std::size_t kChoiceBytes = 3;
constexpr int kLargestFuzzedSide = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kChoiceBytes) return 0;
  const KindAndFormat object = kObjects[data[0] % kObjects.size()];
  const PictureSize screen{.width = 1 + data[1] % kLargestFuzzedSide,
                           .height = 1 + data[2] % kLargestFuzzedSide};
  MediaFile file;
  if (!file.TakeFitted(std::vector<std::uint8_t>(data + kChoiceBytes, data + size),
                       object.formatCode, object.kind))
    return 0;
  const std::optional<FittedObject> fitted =
      FitObject(file, object.kind, FitOptions{.screen = screen, .sound = {}});
  if (!fitted) return 0;
  FUZZ_CHECK(object.kind == kSound || object.kind == kGraphic);
  FUZZ_CHECK(fitted->bytesAsItIs == BytesToSend(file));
  FUZZ_CHECK(fitted->bytesFitted == BytesToSend(fitted->file));
  if (object.kind == kSound) {
    FUZZ_CHECK(fitted->bytesFitted < fitted->bytesAsItIs);
    return 0;
  }
  const std::optional<PictureSize> written = ReadImageSize(fitted->file.data());
  FUZZ_CHECK(written && written->width <= screen.width && written->height <= screen.height);
  return 0;
}
