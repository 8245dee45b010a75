#include "sound/sound_preparation.h"

namespace vandrel {

std::optional<std::vector<std::uint8_t>> PrepareSound(std::span<const std::uint8_t>,
                                                      const SoundPreparation&) {
  return std::nullopt;
}

}  // namespace vandrel
