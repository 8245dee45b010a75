#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel::sim {

// What the handset writes back, each answer framed by carriage return and line feed the way
// handsets frame them: "\r\nOK\r\n".
inline constexpr std::string_view kOkAnswer = "\r\nOK\r\n";
inline constexpr std::string_view kErrorAnswer = "\r\nERROR\r\n";
inline constexpr std::string_view kConnectAnswer = "\r\nCONNECT\r\n";

// The identification word comes first: the detection judges the word at the first "K" it meets.
inline constexpr std::string_view kHandsetIdentity = "KESTA Simulated Handset";
// A modem that talks AT but is no handset; its only "K" is the one of "OK".
inline constexpr std::string_view kModemIdentity = "Data/Fax Modem 56000";

std::string InformationAnswer(std::string_view text);  // the text on its line, then OK
std::string CmeErrorAnswer(std::uint32_t code);
std::string FreeMemoryAnswer(std::uint32_t freeBytes);
// Noise with no answer word in it.
std::string GarbageAnswer();
// `answer` behind an information text long enough to overflow a 512-byte answer buffer.
std::string LongAnswer(std::string_view answer);

}  // namespace vandrel::sim
