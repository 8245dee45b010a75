#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "sound/wav_format.h"

namespace vandrel {

// The header of a file is examined inside a window at its start: this long while checking...
inline constexpr std::size_t kCheckWindowBytes = 200;
// ...and this long while converting.
inline constexpr std::size_t kConvertWindowBytes = 128;

struct ChunkLocation {
  std::uint32_t size = 0;           // 0: not found
  std::uint64_t payloadOffset = 0;  // from the position the walk started at
};

// Walks the chunks that start at `position` in `window` for the first one named `id`. Only
// payload sizes are charged to `budget`; the walk gives up once the budget is spent, and never
// looks at a chunk header that does not lie wholly inside the window.
ChunkLocation FindChunk(std::span<const std::uint8_t> window, std::uint64_t position,
                        std::string_view id, std::int64_t budget);

// Parses "RIFF", "WAVE" and "fmt " into `format`: CONV_OK or CONV_BAD_FORMAT. Float and
// extensible formats are parsed for the sound preparation; the acceptance rules refuse them.
ConversionResult ReadWavHeader(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                               WavFormat& format);

// Applies the acceptance rules to a parsed header and locates "data": CONV_OK or
// CONV_BAD_FORMAT.
ConversionResult CheckSoundFormat(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                                  WavFormat& format);

// Locates the "data" chunk in `window` and records its size and offset in `format`: CONV_OK,
// or CONV_BAD_FORMAT when there is none.
ConversionResult FindDataChunk(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                               WavFormat& format);

// The checking pass over a whole file image: CONV_READ_ERROR when it is shorter than the
// checking window, else the first failure of the two steps above.
ConversionResult CheckSoundFile(std::span<const std::uint8_t> file);

}  // namespace vandrel
