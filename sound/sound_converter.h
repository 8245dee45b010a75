#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/wav_format.h"

namespace vandrel {

// The file image being converted, read only in whole pieces.
class SoundSource {
 public:
  explicit SoundSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  // The `count` bytes from `offset`, or none when they are not all there.
  std::span<const std::uint8_t> ReadAt(std::uint64_t offset, std::size_t count) const;
  std::uint64_t Length() const { return bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Where the converted image goes; never grows past its buffer.
class SoundSink {
 public:
  explicit SoundSink(std::span<std::uint8_t> buffer) : buffer_(buffer) {}
  // Appends all of `bytes`, or nothing when they do not fit.
  std::size_t Append(std::span<const std::uint8_t> bytes);
  std::size_t Length() const { return length_; }

 private:
  std::span<std::uint8_t> buffer_;
  std::size_t length_ = 0;
};

// Re-encodes an accepted WAV image into the handset ADPCM format; an image already in that
// format is copied as it is. The output may never be longer than `source`, and `destination`
// must have room for that much. On CONV_OK, `length` holds the bytes written; on any other
// result `length` is untouched and what `destination` holds is of no use.
ConversionResult ConvertSound(std::span<const std::uint8_t> source,
                              std::span<std::uint8_t> destination, std::size_t& length);

// The converting pass, once CheckSoundFile has accepted the source.
ConversionResult ConvertPass(const SoundSource& source, SoundSink& sink);

}  // namespace vandrel
