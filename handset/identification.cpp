#include "handset/identification.h"

#include <algorithm>

#include "handset/answer.h"

namespace vandrel {

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
  const std::size_t ok = Find(answer, kOk);
  if (ok == std::string_view::npos) return false;
  imei.clear();
  for (const std::uint8_t byte : answer.first(ok)) {
    if (imei.size() == kMaxImeiDigits) break;
    if (byte >= '0' && byte <= '9') imei += static_cast<char>(byte);
  }
  return true;
}

}  // namespace vandrel
