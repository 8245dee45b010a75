#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/wav_format.h"

namespace vandrel {

// Reads the data of a parsed WAV image piece by piece as interleaved float samples, full scale
// being 1. The narrow encodings (8/16-bit PCM, G.711, mono IMA ADPCM) go through the sample
// decoders of the converter; 24 and 32-bit integer and 32-bit float PCM are read here.
class FloatSampleReader {
 public:
  // Takes the image and its parsed header (data chunk located). False when the encoding, its
  // bit depth or its block layout is not one this reader decodes.
  bool Open(std::span<const std::uint8_t> image, const WavFormat& format);
  // The frames of the data: whole frames only, for IMA ADPCM the samples its blocks hold.
  std::uint64_t Frames() const;
  // Moves to `frame`, so that the next piece starts there. False for IMA ADPCM, whose blocks are
  // read in order only.
  bool Seek(std::uint64_t frame);
  // The next piece of whole frames, or an empty span once the data is spent. The span stays
  // valid until the next call.
  std::span<const float> Next();

  // Through the converter's 16-bit decoders, or read here as wide integers or floats.
  enum class Path { kNarrow, kInteger, kFloat };

 private:
  std::span<const float> NextNarrow();
  std::span<const float> NextWide();

  WavFormat format_;
  Path path_ = Path::kNarrow;
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
  std::size_t pieceBytes_ = 0;
  std::vector<std::int16_t> narrow_;
  std::vector<float> piece_;
};

}  // namespace vandrel
