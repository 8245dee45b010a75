#include "tools/handset-sim/answers.h"

namespace vandrel::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Symbols and digits only: no letter, so no "OK", "ERROR", "CONNECT" or identification word.
constexpr std::string_view kNoiseCharacters = "#%&*+-/<=>@^_|~0123456789";
constexpr std::size_t kGarbageBytes = 40;
constexpr std::size_t kLongAnswerFillBytes = 600;
constexpr std::size_t kFillLineBytes = 60;

}  // namespace

std::string InformationAnswer(std::string_view text) {
  std::string answer(kLineEnd);
  answer += text;
  answer += kLineEnd;
  answer += kOkAnswer;
  return answer;
}

std::string CmeErrorAnswer(std::uint32_t code) {
  return std::string(kLineEnd) + "+CME ERROR: 100," + std::to_string(code) + std::string(kLineEnd);
}

std::string FreeMemoryAnswer(std::uint32_t freeBytes) {
  return InformationAnswer("+KDOBJ: " + std::to_string(freeBytes));
}

std::string GarbageAnswer() {
  // A fixed linear congruential sequence: the same noise every run, so failures reproduce.
  std::uint32_t seed = 0x2545F491u;
  std::string noise;
  for (std::size_t i = 0; i < kGarbageBytes; ++i) {
    seed = seed * 1664525u + 1013904223u;
    noise += kNoiseCharacters[(seed >> 16) % kNoiseCharacters.size()];
  }
  return noise;
}

std::string LongAnswer(std::string_view answer) {
  std::string text;
  while (text.size() < kLongAnswerFillBytes) {
    text += kLineEnd;
    text += std::string(kFillLineBytes, '.');
  }
  text += answer;
  return text;
}

}  // namespace vandrel::sim
