#include "handset/identification.h"

#include <algorithm>

#include "handset/answer.h"

namespace vandrel {

namespace {
constexpr std::string_view kOk = "OK";
}  // namespace

bool JudgeIdentification(std::span<const std::uint8_t> answer) {
  const auto first = std::find(answer.begin(), answer.end(),
                               static_cast<std::uint8_t>(kIdentificationWord.front()));
  const auto rest = std::span(first, answer.end());
  return rest.size() >= kIdentificationWord.size() &&
         std::equal(kIdentificationWord.begin(), kIdentificationWord.end(), rest.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

bool JudgeCapability(std::span<const std::uint8_t> answer) {
  return Contains(answer, kOk);
}

bool JudgeImei(std::span<const std::uint8_t> answer, std::string& imei) {
  const auto ok =
      std::search(answer.begin(), answer.end(), kOk.begin(), kOk.end(),
                  [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  if (ok == answer.end()) return false;
  imei.clear();
  for (auto byte = answer.begin(); byte != ok && imei.size() < kMaxImeiDigits; ++byte)
    if (*byte >= '0' && *byte <= '9') imei += static_cast<char>(*byte);
  return true;
}

}  // namespace vandrel
