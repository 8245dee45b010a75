#include "sound/wav_reader.h"

#include <algorithm>
#include <array>

#include "sound/byte_order.h"

namespace vandrel {

namespace {

constexpr std::size_t kChunkIdBytes = 4;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kRiffSizeOffset = 4;
constexpr std::size_t kWaveIdOffset = 8;
constexpr std::size_t kFirstChunkOffset = 12;
constexpr std::uint64_t kRiffHeaderBytes = 8;  // "RIFF" and the length word, outside riffSize
constexpr std::uint32_t kBasicFmtBytes = 16;
constexpr std::uint32_t kWordBytes = 2;
constexpr std::uint32_t kMinSampleRate = 7920;
constexpr std::uint32_t kMaxSampleRate = 8080;
constexpr std::uint16_t kMono = 1;
// The extension of FORMAT_EXTENSIBLE: valid bits, channel mask, then a 16-byte sub-format GUID
// whose first two bytes are a format tag and whose other fourteen are always these.
constexpr std::uint32_t kExtensibleBytes = 22;
constexpr std::size_t kSubFormatOffset = 6;
constexpr std::array<std::uint8_t, 14> kSubFormatGuidTail = {
    0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The encodings the converter reads, with the bit depths each may declare.
struct AcceptedEncoding {
  std::uint16_t formatTag;
  std::array<std::uint16_t, 2> bitsPerSample;
  bool needsSamplesPerBlock;
};

constexpr AcceptedEncoding kAcceptedEncodings[] = {
    {FORMAT_PCM, {8, 16}, false},         {FORMAT_ALAW, {8, 8}, false},
    {FORMAT_MULAW, {8, 8}, false},        {FORMAT_IMA_ADPCM, {4, 4}, true},
    {FORMAT_HANDSET_ADPCM, {4, 4}, true},
};

bool HasId(std::span<const std::uint8_t> window, std::size_t at, std::string_view id) {
  return window.size() >= at + kChunkIdBytes &&
         std::equal(id.begin(), id.end(), window.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char expected, std::uint8_t seen) {
                      return static_cast<std::uint8_t>(expected) == seen;
                    });
}

// The format tag that an extensible format's sub-format GUID stands for; 0 for a GUID outside
// the family of format tags.
std::uint16_t SubFormatTag(std::span<const std::uint8_t> extension) {
  const auto guid = extension.subspan(kSubFormatOffset);
  if (!std::equal(kSubFormatGuidTail.begin(), kSubFormatGuidTail.end(), guid.begin() + 2)) return 0;
  return LoadU16(guid, 0);
}

const AcceptedEncoding* FindEncoding(std::uint16_t formatTag) {
  for (const AcceptedEncoding& encoding : kAcceptedEncodings)
    if (encoding.formatTag == formatTag) return &encoding;
  return nullptr;
}

bool IsAccepted(const WavFormat& format) {
  const AcceptedEncoding* encoding = FindEncoding(format.formatTag);
  if (encoding == nullptr) return false;
  const auto& bits = encoding->bitsPerSample;
  if (std::find(bits.begin(), bits.end(), format.bitsPerSample) == bits.end()) return false;
  return !encoding->needsSamplesPerBlock || format.extraSize >= kWordBytes;
}

}  // namespace

ChunkLocation FindChunk(std::span<const std::uint8_t> window, std::uint64_t position,
                        std::string_view id, std::int64_t budget) {
  std::uint64_t at = position;
  while (at <= window.size() && window.size() - at >= kChunkHeaderBytes) {
    const std::uint32_t size = LoadU32(window, at + kChunkIdBytes);
    if (HasId(window, at, id)) return {size, at + kChunkHeaderBytes - position};
    // The size is added as declared: an odd-sized chunk is not padded to an even length.
    at += kChunkHeaderBytes + size;
    budget -= size;
    if (budget <= 0) break;
  }
  return {};
}

ConversionResult ReadWavHeader(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                               WavFormat& format) {
  format.extraSize = 0;
  format.subFormat = 0;
  if (!HasId(window, 0, "RIFF") || !HasId(window, kWaveIdOffset, "WAVE")) return CONV_BAD_FORMAT;
  format.riffSize = LoadU32(window, kRiffSizeOffset);

  const ChunkLocation fmt =
      FindChunk(window, kFirstChunkOffset, "fmt ", static_cast<std::int64_t>(fileLength));
  format.fmtSize = fmt.size;
  if (fmt.size < kBasicFmtBytes) return CONV_BAD_FORMAT;
  // Fields are only ever read from inside the window: a format chunk reaching past it is refused.
  const std::uint64_t payloadStart = kFirstChunkOffset + fmt.payloadOffset;
  if (payloadStart + fmt.size > window.size()) return CONV_BAD_FORMAT;
  const auto payload = window.subspan(payloadStart, fmt.size);

  format.formatTag = LoadU16(payload, 0);
  format.channels = LoadU16(payload, 2);
  format.sampleRate = LoadU32(payload, 4);
  format.avgBytesPerSec = LoadU32(payload, 8);
  format.blockAlign = LoadU16(payload, 12);
  format.bitsPerSample = LoadU16(payload, 14);
  std::size_t cursor = kBasicFmtBytes;
  std::uint32_t remaining = fmt.size - kBasicFmtBytes;

  // A PCM format chunk may be longer than 16 bytes; whatever follows is not an extension.
  // A float one may end with the basic fields, as many programs write it.
  const bool bareFloat = format.formatTag == FORMAT_IEEE_FLOAT && remaining < kWordBytes;
  if (format.formatTag != FORMAT_PCM && !bareFloat) {
    if (remaining < kWordBytes) return CONV_BAD_FORMAT;
    format.extraSize = LoadU16(payload, cursor);
    cursor += kWordBytes;
    remaining -= kWordBytes;
  }
  if (format.extraSize > remaining) return CONV_BAD_FORMAT;

  switch (format.formatTag) {
    case FORMAT_EXTENSIBLE:
      if (format.extraSize < kExtensibleBytes) return CONV_BAD_FORMAT;
      format.subFormat = SubFormatTag(payload.subspan(cursor, kExtensibleBytes));
      format.bytesPerSample = (format.bitsPerSample + 7u) / 8u;
      return CONV_OK;
    case FORMAT_PCM:
    case FORMAT_IEEE_FLOAT:
    case FORMAT_ALAW:
    case FORMAT_MULAW:
      format.bytesPerSample = (format.bitsPerSample + 7u) / 8u;
      return CONV_OK;
    case FORMAT_IMA_ADPCM:
    case FORMAT_HANDSET_ADPCM:
      format.samplesPerBlock = remaining >= kWordBytes ? LoadU16(payload, cursor) : 0;
      return CONV_OK;
    default:
      return CONV_BAD_FORMAT;
  }
}

ConversionResult CheckSoundFormat(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                                  WavFormat& format) {
  if (format.riffSize + kRiffHeaderBytes != fileLength) return CONV_BAD_FORMAT;
  if (!IsAccepted(format)) return CONV_BAD_FORMAT;
  if (format.channels != kMono) return CONV_BAD_FORMAT;
  if (format.sampleRate < kMinSampleRate || format.sampleRate > kMaxSampleRate)
    return CONV_BAD_FORMAT;

  return FindDataChunk(window, fileLength, format);
}

ConversionResult FindDataChunk(std::span<const std::uint8_t> window, std::uint64_t fileLength,
                               WavFormat& format) {
  const ChunkLocation data = FindChunk(
      window, kFirstChunkOffset, "data",
      static_cast<std::int64_t>(fileLength) - static_cast<std::int64_t>(kFirstChunkOffset));
  if (data.size == 0) return CONV_BAD_FORMAT;
  format.dataSize = data.size;
  format.dataOffset = static_cast<std::uint32_t>(kFirstChunkOffset + data.payloadOffset);
  return CONV_OK;
}

ConversionResult CheckSoundFile(std::span<const std::uint8_t> file) {
  if (file.size() < kCheckWindowBytes) return CONV_READ_ERROR;
  std::array<std::uint8_t, kCheckWindowBytes> window{};
  std::copy_n(file.begin(), kCheckWindowBytes, window.begin());
  WavFormat format;
  if (ReadWavHeader(window, file.size(), format) != CONV_OK ||
      CheckSoundFormat(window, file.size(), format) != CONV_OK)
    return CONV_BAD_FORMAT;
  return CONV_OK;
}

}  // namespace vandrel
