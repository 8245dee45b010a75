#pragma once

#include <cstdint>
#include <vector>

#include "sound/wav_format.h"

// WAV images made byte by byte, so that the suites need no sound tool at run time.
namespace vandrel::wav_builder {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& bytes, std::uint16_t value);
void PutU32(Bytes& bytes, std::uint32_t value);

Bytes Chunk(const char* id, const Bytes& payload);

struct FmtFields {
  std::uint16_t formatTag = FORMAT_PCM;
  std::uint16_t channels = 1;
  std::uint32_t sampleRate = 8000;
  std::uint16_t blockAlign = 2;
  std::uint16_t bitsPerSample = 16;
};

// The six basic fields, then `extension` as it is (for ADPCM: the extension length word first).
Bytes FmtPayload(const FmtFields& fields, const Bytes& extension = {});
// "RIFF", the length of what follows, "WAVE" and the chunks.
Bytes Riff(const std::vector<Bytes>& chunks);

Bytes Pcm16Wav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate = 8000);
Bytes Pcm8Wav(const Bytes& samples);
Bytes ImaWav(std::uint16_t blockAlign, std::uint16_t samplesPerBlock, std::uint32_t sampleCount,
             const Bytes& data, std::uint16_t formatTag = FORMAT_IMA_ADPCM);

struct Converted {
  ConversionResult result;
  Bytes image;  // empty unless the result is CONV_OK
};
// `source` through the converter, into a buffer of the source's length as the program gives it.
Converted Convert(const Bytes& source);

// The description of a handset ADPCM output of `sampleCount` samples in blocks of `blockAlign`.
WavFormat HandsetOutput(std::uint16_t blockAlign, std::uint32_t sampleCount);

// A voiced, syllable-paced test signal with formant-like harmonics and a little noise.
std::vector<std::int16_t> SpeechLike(std::size_t count);

// Rewrites a handset ADPCM image into the standard IMA ADPCM WAV layout (low half first,
// reserved header byte 0), which any IMA ADPCM decoder reads.
Bytes ToStandardIma(const Bytes& handset);

}  // namespace vandrel::wav_builder
