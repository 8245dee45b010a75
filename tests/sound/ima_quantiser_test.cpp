#include "sound/ima_quantiser.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

// The IMA ADPCM encoder step as it is usually written: step, step / 2 and step / 4 tried in turn.
struct TextbookStep {
  std::int32_t predictor;
  std::int32_t index;

  std::uint8_t Encode(std::int32_t sample) {
    const std::int32_t step = kStepTable[index];
    std::int32_t diff = sample - predictor;
    std::uint8_t sign = 0;
    if (diff < 0) {
      sign = 8;
      diff = -diff;
    }
    std::uint8_t code = 0;
    std::int32_t vpdiff = step >> 3;
    if (diff >= step) {
      code = 4;
      diff -= step;
      vpdiff += step;
    }
    if (diff >= (step >> 1)) {
      code |= 2;
      diff -= step >> 1;
      vpdiff += step >> 1;
    }
    if (diff >= (step >> 2)) {
      code |= 1;
      vpdiff += step >> 2;
    }
    predictor = std::clamp(sign != 0 ? predictor - vpdiff : predictor + vpdiff, -32768, 32767);
    index = std::clamp(index + kIndexAdjustment[code | sign], 0, kMaxStepIndex);
    return code | sign;
  }
};

TEST(Quantiser, MatchesTheTextbookStepForEveryIndex) {
  for (std::int32_t index = 0; index <= kMaxStepIndex; ++index) {
    for (std::int32_t predictor : {-32768, -20000, -7, 0, 3, 15000, 32767}) {
      for (std::int32_t sample = -32768; sample <= 32767; sample += 3) {
        Quantiser fast{predictor, index};
        TextbookStep slow{predictor, index};
        const std::uint8_t code = fast.Encode(sample);
        ASSERT_EQ(code, slow.Encode(sample)) << index << " " << predictor << " " << sample;
        ASSERT_EQ(fast.predictor, slow.predictor) << index << " " << predictor << " " << sample;
        ASSERT_EQ(fast.index, slow.index) << index << " " << predictor << " " << sample;
      }
    }
  }
}

}  // namespace
}  // namespace vandrel
