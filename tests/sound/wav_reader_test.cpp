#include "sound/wav_reader.h"

#include <gtest/gtest.h>

#include "sound/byte_order.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using namespace wav_builder;

Bytes WithFmt(const FmtFields& fields, const Bytes& extension = {}) {
  return Riff({Chunk("fmt ", FmtPayload(fields, extension)), Chunk("data", Bytes(400, 0x55))});
}

Bytes Pcm16(std::uint32_t sampleRate = 8000, std::uint16_t channels = 1) {
  return WithFmt({FORMAT_PCM, channels, sampleRate, 2, 16});
}

Bytes ImaWithExtension(std::uint8_t extensionLength) {
  return WithFmt({FORMAT_IMA_ADPCM, 1, 8000, 256, 4}, {extensionLength, 0, 0xF9, 0x01});
}

Bytes Adjusted(Bytes file, std::int32_t riffDelta) {
  StoreU32(file, 4, LoadU32(file, 4) + static_cast<std::uint32_t>(riffDelta));
  return file;
}

// An odd-sized chunk is followed by a pad byte, as RIFF writers do.
Bytes WithChunkBeforeData(std::size_t listSize) {
  Bytes list = Chunk("LIST", Bytes(listSize, 'x'));
  if (listSize % 2 != 0) list.push_back(0);
  return Riff({Chunk("fmt ", FmtPayload({FORMAT_PCM, 1, 8000, 2, 16})), list,
               Chunk("data", Bytes(400, 0))});
}

struct CheckCase {
  const char* name;
  Bytes file;
  ConversionResult expected;
};

TEST(CheckSoundFile, AcceptsOnlyTheConvertibleKinds) {
  for (const CheckCase& c :
       {CheckCase{"Pcm16Mono8000", Pcm16(), CONV_OK}, CheckCase{"Rate7920", Pcm16(7920), CONV_OK},
        CheckCase{"Rate8080", Pcm16(8080), CONV_OK},
        CheckCase{"Rate7919", Pcm16(7919), CONV_BAD_FORMAT},
        CheckCase{"Rate8081", Pcm16(8081), CONV_BAD_FORMAT},
        CheckCase{"Stereo", Pcm16(8000, 2), CONV_BAD_FORMAT},
        CheckCase{"RiffLengthOneShort", Adjusted(Pcm16(), -1), CONV_BAD_FORMAT},
        CheckCase{"RiffLengthOneOver", Adjusted(Pcm16(), 1), CONV_BAD_FORMAT},
        CheckCase{"PcmFmtOf18Bytes", WithFmt({FORMAT_PCM, 1, 8000, 2, 16}, {0, 0}), CONV_OK},
        CheckCase{"ALaw", WithFmt({FORMAT_ALAW, 1, 8000, 1, 8}, {0, 0}), CONV_OK},
        CheckCase{"MuLaw", WithFmt({FORMAT_MULAW, 1, 8000, 1, 8}, {0, 0}), CONV_OK},
        CheckCase{"ImaExtension0", ImaWithExtension(0), CONV_BAD_FORMAT},
        CheckCase{"ImaExtension1", ImaWithExtension(1), CONV_BAD_FORMAT},
        CheckCase{"ImaExtension2", ImaWithExtension(2), CONV_OK},
        CheckCase{"MicrosoftAdpcm", WithFmt({2, 1, 8000, 256, 4}, {2, 0, 0xF4, 0x01}),
                  CONV_BAD_FORMAT},
        CheckCase{"ListChunkBeforeData", WithChunkBeforeData(40), CONV_OK},
        // an odd size shifts the walk off the chunk headers
        CheckCase{"OddListChunkBeforeData", WithChunkBeforeData(41), CONV_BAD_FORMAT},
        // the "data" header would lie past the window
        CheckCase{"LongChunkBeforeData", WithChunkBeforeData(150), CONV_BAD_FORMAT},
        CheckCase{"FmtReachingPastWindow", WithFmt({FORMAT_PCM, 1, 8000, 2, 16}, Bytes(180, 0)),
                  CONV_BAD_FORMAT},
        CheckCase{
            "EmptyData",
            Riff({Chunk("fmt ", FmtPayload({})), Chunk("data", {}), Chunk("pad ", Bytes(200, 0))}),
            CONV_BAD_FORMAT},
        CheckCase{"ShortValidFile", Pcm16Wav(std::vector<std::int16_t>(77, 0)), CONV_READ_ERROR},
        CheckCase{"Empty", Bytes{}, CONV_READ_ERROR}})
    EXPECT_EQ(CheckSoundFile(c.file), c.expected) << c.name;
}

TEST(FindChunk, StopsWhenTheBudgetIsSpentOrTheHeaderLeavesTheWindow) {
  const Bytes window = WithChunkBeforeData(40);
  EXPECT_EQ(FindChunk(window, 12, "data", 1000).size, 400u);
  EXPECT_EQ(FindChunk(window, 12, "data", 1000).payloadOffset, 24u + 48u + 8u);
  // 16 + 40 bytes of payload are charged before "data" is reached
  EXPECT_EQ(FindChunk(window, 12, "data", 56).size, 0u);
  EXPECT_EQ(FindChunk(window, 12, "data", 57).size, 400u);
  EXPECT_EQ(FindChunk(std::span(window).first(12 + 24 + 48 + 7), 12, "data", 1000).size, 0u);
  EXPECT_EQ(FindChunk(window, 12, "DATA", 1000).size, 0u);
}

}  // namespace
}  // namespace vandrel
