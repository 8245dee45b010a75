#include "tests/sound/wav_builder.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "sound/byte_order.h"
#include "sound/sound_converter.h"

namespace vandrel::wav_builder {

void PutU16(Bytes& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& bytes, std::uint32_t value) {
  PutU16(bytes, static_cast<std::uint16_t>(value));
  PutU16(bytes, static_cast<std::uint16_t>(value >> 16));
}

namespace {
void PutId(Bytes& bytes, const char* id) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(id[i]));
}
}  // namespace

Bytes Chunk(const char* id, const Bytes& payload) {
  Bytes chunk;
  PutId(chunk, id);
  PutU32(chunk, static_cast<std::uint32_t>(payload.size()));
  chunk.insert(chunk.end(), payload.begin(), payload.end());
  return chunk;
}

Bytes FmtPayload(const FmtFields& fields, const Bytes& extension) {
  Bytes payload;
  PutU16(payload, fields.formatTag);
  PutU16(payload, fields.channels);
  PutU32(payload, fields.sampleRate);
  PutU32(payload, fields.sampleRate * fields.blockAlign);
  PutU16(payload, fields.blockAlign);
  PutU16(payload, fields.bitsPerSample);
  payload.insert(payload.end(), extension.begin(), extension.end());
  return payload;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body;
  PutId(body, "WAVE");
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes file;
  PutId(file, "RIFF");
  PutU32(file, static_cast<std::uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

Bytes Pcm16Wav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate) {
  Bytes data;
  for (std::int16_t sample : samples) PutU16(data, static_cast<std::uint16_t>(sample));
  return Riff({Chunk("fmt ", FmtPayload({FORMAT_PCM, 1, sampleRate, 2, 16})), Chunk("data", data)});
}

Bytes Pcm8Wav(const Bytes& samples) {
  return Riff({Chunk("fmt ", FmtPayload({FORMAT_PCM, 1, 8000, 1, 8})), Chunk("data", samples)});
}

Bytes ImaWav(std::uint16_t blockAlign, std::uint16_t samplesPerBlock, std::uint32_t sampleCount,
             const Bytes& data, std::uint16_t formatTag) {
  Bytes extension;
  PutU16(extension, 2);
  PutU16(extension, samplesPerBlock);
  Bytes fact;
  PutU32(fact, sampleCount);
  return Riff({Chunk("fmt ", FmtPayload({formatTag, 1, 8000, blockAlign, 4}, extension)),
               Chunk("fact", fact), Chunk("data", data)});
}

Converted Convert(const Bytes& source) {
  Bytes destination(source.size());
  std::size_t length = 0;
  const ConversionResult result = ConvertSound(source, destination, length);
  destination.resize(result == CONV_OK ? length : 0);
  return {result, destination};
}

WavFormat HandsetOutput(std::uint16_t blockAlign, std::uint32_t sampleCount) {
  return {.formatTag = FORMAT_HANDSET_ADPCM,
          .channels = 1,
          .sampleRate = 8000,
          .blockAlign = blockAlign,
          .sampleCount = sampleCount,
          .codec = {}};
}

std::vector<std::int16_t> SpeechLike(std::size_t count) {
  constexpr double kRate = 8000.0;
  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  // Formant frequencies and their levels, falling with frequency as in voiced speech.
  const double formants[][2] = {{700.0, 1.0}, {1200.0, 0.5}, {2500.0, 0.25}};
  std::vector<std::int16_t> samples(count);
  double pitchPhase = 0.0;
  std::uint32_t noise = 12345;
  for (std::size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double pitch = 120.0 + 40.0 * std::sin(kTwoPi * 0.7 * t);
    pitchPhase += kTwoPi * pitch / kRate;
    double voiced = 0.0;
    for (int harmonic = 1; harmonic * pitch < 3600.0; ++harmonic) {
      double gain = 0.0;
      for (const auto& [frequency, level] : formants) {
        const double shifted = frequency * (1.0 + 0.15 * std::sin(kTwoPi * 1.3 * t));
        const double distance = (harmonic * pitch - shifted) / 150.0;
        gain += level * std::exp(-distance * distance);
      }
      voiced += gain * std::sin(harmonic * pitchPhase) / harmonic;
    }
    noise = noise * 1664525u + 1013904223u;
    const double hiss = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.02;
    const double syllable = 0.15 + 0.85 * std::pow(std::max(0.0, std::sin(kTwoPi * 3.5 * t)), 2);
    samples[n] = static_cast<std::int16_t>(std::lround(9000.0 * (syllable * voiced + hiss)));
  }
  return samples;
}

Bytes ToStandardIma(const Bytes& handset) {
  const std::uint16_t blockAlign = LoadU16(handset, 32);
  const std::uint16_t samplesPerBlock = LoadU16(handset, 38);
  const std::uint32_t sampleCount = LoadU32(handset, 58);
  Bytes data(handset.begin() + 70, handset.end());
  for (std::size_t block = 0; block < data.size(); block += blockAlign) {
    data[block + 3] = 0;
    for (std::size_t at = block + 4; at < block + blockAlign; ++at)
      data[at] = static_cast<std::uint8_t>((data[at] << 4) | (data[at] >> 4));
  }
  return ImaWav(blockAlign, samplesPerBlock, sampleCount, data);
}

}  // namespace vandrel::wav_builder
