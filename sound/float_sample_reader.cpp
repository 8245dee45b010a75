#include "sound/float_sample_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

#include "sound/sample_decoders.h"

namespace vandrel {

namespace {

// About this many samples a piece: large enough that the resampler works in long runs, small
// enough that a long sound is never held whole in float.
constexpr std::size_t kPieceSamples = 16384;
constexpr float kInt16Scale = 1.0f / 32768.0f;
constexpr float kInt32Scale = 1.0f / 2147483648.0f;
constexpr std::uint32_t kFloatBits = 32;
constexpr float kLoudestFloat = 65536.0f;

std::uint16_t EncodingOf(const WavFormat& format) {
  return format.formatTag == FORMAT_EXTENSIBLE ? format.subFormat : format.formatTag;
}

// Widens a little-endian integer of 3 or 4 bytes to the top of an int32, so that both share
// one scale.
std::int32_t LoadTopAligned(std::span<const std::uint8_t> bytes, std::size_t at,
                            std::uint32_t width) {
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < width; ++i)
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * (4 - width + i));
  return static_cast<std::int32_t>(value);
}

float LoadFloat(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t bits = 0;
  for (std::uint32_t i = 0; i < 4; ++i)
    bits |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  const float value = std::bit_cast<float>(bits);
  // A NaN or an infinity would spoil the output around it: read it as silence. A float sound may
  // go beyond full scale, but a sample far beyond it would overflow the filter's sums.
  return std::isfinite(value) ? std::clamp(value, -kLoudestFloat, kLoudestFloat) : 0.0f;
}

// How an encoding is read; none for an encoding, width or layout this reader does not decode.
std::optional<FloatSampleReader::Path> PathFor(const WavFormat& format) {
  using Path = FloatSampleReader::Path;
  const std::uint32_t width = format.bytesPerSample;
  if (format.channels == 0) return std::nullopt;
  switch (format.formatTag) {
    case FORMAT_PCM:
      if (format.bitsPerSample == 0) return std::nullopt;
      if (width == 1 || width == 2) return Path::kNarrow;
      if (width == 3 || width == 4) return Path::kInteger;
      return std::nullopt;
    case FORMAT_IEEE_FLOAT:
      return format.bitsPerSample == kFloatBits ? std::optional(Path::kFloat) : std::nullopt;
    case FORMAT_ALAW:
    case FORMAT_MULAW:
      return width == 1 ? std::optional(Path::kNarrow) : std::nullopt;
    case FORMAT_IMA_ADPCM:
      // The converter's IMA ADPCM decoder reads one channel's blocks.
      return format.channels == 1 ? std::optional(Path::kNarrow) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool FloatSampleReader::Open(std::span<const std::uint8_t> image, const WavFormat& format) {
  format_ = format;
  format_.formatTag = EncodingOf(format);
  const std::optional<Path> path = PathFor(format_);
  if (!path || format_.dataOffset > image.size()) return false;
  path_ = *path;
  // A data chunk that claims more than the image holds is read as far as it goes.
  format_.dataSize = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(format_.dataSize, image.size() - format_.dataOffset));
  data_ = image.subspan(format_.dataOffset, format_.dataSize);
  position_ = 0;

  // A piece is whole frames of a linear encoding, whole blocks of IMA ADPCM.
  const bool ima = format_.formatTag == FORMAT_IMA_ADPCM;
  const std::size_t unitSamples = ima ? format_.samplesPerBlock : format_.channels;
  if (unitSamples == 0 || format_.blockAlign == 0) return false;
  if (!ima && format_.blockAlign != format_.channels * format_.bytesPerSample) return false;
  const std::size_t units = std::max<std::size_t>(1, kPieceSamples / unitSamples);
  pieceBytes_ = units * format_.blockAlign;
  if (path_ != Path::kNarrow) return true;
  if (!DecoderSetup(format_)) return false;
  narrow_.resize(units * unitSamples);
  return true;
}

std::uint64_t FloatSampleReader::Frames() const {
  return format_.formatTag == FORMAT_IMA_ADPCM ? format_.sampleCount
                                               : data_.size() / format_.blockAlign;
}

bool FloatSampleReader::Seek(std::uint64_t frame) {
  if (format_.formatTag == FORMAT_IMA_ADPCM) return frame == 0;
  position_ = static_cast<std::size_t>(std::min(frame, Frames()) * format_.blockAlign);
  // The narrow decoders count down the samples still due.
  format_.codec.samplesLeft = static_cast<std::uint32_t>(
      format_.sampleCount -
      std::min<std::uint64_t>(position_ / format_.bytesPerSample, format_.sampleCount));
  return true;
}

std::span<const float> FloatSampleReader::Next() {
  return path_ == Path::kNarrow ? NextNarrow() : NextWide();
}

std::span<const float> FloatSampleReader::NextNarrow() {
  const std::size_t length = std::min(pieceBytes_, data_.size() - position_);
  const auto slice = data_.subspan(position_, length);
  position_ += length;
  std::size_t wanted = format_.formatTag == FORMAT_IMA_ADPCM
                           ? ImaSamplesInBytes(length, format_.blockAlign, format_.samplesPerBlock)
                           : length / format_.bytesPerSample;
  wanted -= wanted % format_.channels;
  const std::uint32_t decoded =
      DecodeSamples(format_, slice, std::span(narrow_).first(std::min(wanted, narrow_.size())));
  piece_.resize(decoded);
  for (std::size_t i = 0; i < decoded; ++i) piece_[i] = narrow_[i] * kInt16Scale;
  return piece_;
}

std::span<const float> FloatSampleReader::NextWide() {
  const std::size_t frames = std::min(pieceBytes_, data_.size() - position_) / format_.blockAlign;
  const std::uint32_t width = format_.bytesPerSample;
  const std::size_t count = frames * format_.channels;
  const auto slice = data_.subspan(position_, count * width);
  position_ += slice.size();
  piece_.resize(count);
  if (path_ == Path::kFloat) {
    for (std::size_t i = 0; i < count; ++i) piece_[i] = LoadFloat(slice, i * width);
  } else {
    for (std::size_t i = 0; i < count; ++i)
      piece_[i] = static_cast<float>(LoadTopAligned(slice, i * width, width)) * kInt32Scale;
  }
  return piece_;
}

}  // namespace vandrel
