#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vandrel::sim {

// How much of an object's beginning is kept to look at its WAV header.
inline constexpr std::size_t kWavHeadBytes = 256;

// True when `head` starts a RIFF WAVE file whose "fmt " chunk carries the handset's own ADPCM
// format tag 0x0101: the rendition a handset without ADPCM support refuses.
bool IsHandsetAdpcmWav(std::span<const std::uint8_t> head);

}  // namespace vandrel::sim
