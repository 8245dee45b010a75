// Arbitrary answers to "ATI3", "AT+KDOBJ?" and "AT+CGSN": the detection's judgements.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzz_check.h"
#include "handset/answer.h"
#include "handset/identification.h"

namespace {

using namespace vandrel;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> answer(data, size);
  if (JudgeIdentification(answer)) FUZZ_CHECK(Contains(answer, kIdentificationWord));
  FUZZ_CHECK(JudgeCapability(answer) == Contains(answer, "OK"));

  const std::string kPrevious = "previous";
  std::string imei = kPrevious;
  if (JudgeImei(answer, imei)) {
    FUZZ_CHECK(imei.size() <= kMaxImeiDigits);
    FUZZ_CHECK(std::all_of(imei.begin(), imei.end(), IsDigit));
  } else {
    FUZZ_CHECK(imei == kPrevious);
  }
  return 0;
}
