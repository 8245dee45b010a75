#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vandrel {

// The word a handset of the range gives after "ATI3".
inline constexpr std::string_view kIdentificationWord = "KESTA";
// Room of the link's IMEI: 49 digits and a terminator.
inline constexpr std::size_t kMaxImeiDigits = 49;

// "ATI3": the answer passes when the first byte equal to the word's first letter starts the word.
bool JudgeIdentification(std::span<const std::uint8_t> answer);
// "AT+KDOBJ?": the answer passes when it holds "OK".
bool JudgeCapability(std::span<const std::uint8_t> answer);
// "AT+CGSN": passes when the answer holds "OK"; `imei` is then every digit before that "OK", in
// order, at most 49 of them.
bool JudgeImei(std::span<const std::uint8_t> answer, std::string& imei);

}  // namespace vandrel
