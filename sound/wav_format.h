#pragma once

#include <cstdint>
#include <vector>

namespace vandrel {

// What a conversion, or one step of it, comes to.
enum ConversionResult : std::uint32_t {
  CONV_OK = 0,
  CONV_READ_ERROR = 1,   // the header window is not there: the file is too short
  CONV_OUTPUT_FULL = 2,  // the output would be longer than the input
  CONV_NO_MEMORY = 4,    // a working buffer could not be obtained
  CONV_BAD_FORMAT = 8,   // not a sound the converter accepts, or its data ran short
};

// Format tags of the "fmt " chunk that the converter reads or writes, and those the sound
// preparation reads besides.
enum FormatTag : std::uint16_t {
  FORMAT_PCM = 0x0001,
  FORMAT_IEEE_FLOAT = 0x0003,
  FORMAT_ALAW = 0x0006,
  FORMAT_MULAW = 0x0007,
  FORMAT_IMA_ADPCM = 0x0011,
  FORMAT_HANDSET_ADPCM = 0x0101,
  FORMAT_EXTENSIBLE = 0xFFFE,  // the encoding is the sub-format named in the extension
};

// The block buffers of a decoder or an encoder, attached to the description they work for.
// A decoder fills `blockSamples` from `blockBytes` and hands them out from `cursor`; an encoder
// gathers samples in `blockSamples` and packs them into `blockBytes`.
struct CodecState {
  std::uint32_t samplesLeft = 0;  // decoder: samples still to be delivered
  std::vector<std::uint8_t> blockBytes;
  std::vector<std::int16_t> blockSamples;
  std::uint32_t cursor = 0;    // decoder: next decoded sample to hand out
  std::uint32_t pending = 0;   // decoder: decoded samples not handed out yet
  std::int32_t stepIndex = 0;  // encoder: carried from one block to the next
};

// The description of one WAV file: read from an input's header, or filled in for the output.
struct WavFormat {
  std::uint32_t riffSize = 0;
  std::uint32_t fmtSize = 0;
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint32_t extraSize = 0;
  std::uint16_t subFormat = 0;  // FORMAT_EXTENSIBLE: the tag its sub-format stands for
  std::uint16_t samplesPerBlock = 0;
  std::uint32_t bytesPerSample = 0;
  std::uint32_t dataSize = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t sampleCount = 0;
  CodecState codec;
};

}  // namespace vandrel
