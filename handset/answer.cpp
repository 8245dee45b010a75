#include "handset/answer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "objects/event_table.h"

namespace vandrel {

namespace {

constexpr std::string_view kValueTag = "+KDOBJ:";
constexpr std::string_view kCmePrefix = "+CME ERROR: 100,";
constexpr std::size_t kMaxCmeDigits = 5;

// The handset's 16-bit error codes (0xFFF1 to 0xFFFE) and what the user is told.
struct CmeCode {
  std::int32_t number;
  std::uint8_t event;
};
constexpr std::array<CmeCode, 9> kCmeCodes{{
    {65521, kEventSourceEmpty},
    {65522, kEventSourceEmpty},
    {65523, kEventPhoneStorageFull},
    {65524, kEventFormatUnsupported},
    {65525, kEventObjectUnsupported},
    {65532, kEventObjectUnsupported},
    {65531, kEventUnexpectedResponseReboot},
    {65534, kEventUnexpectedResponseReboot},
    {65533, kEventFlashWriteFailed},
}};

// What a final word says of the command it ends.
enum class Outcome { kSuccess, kFailure };

struct FinalAnswer {
  std::string_view word;
  Outcome outcome;
};

// The words that end an answer, OK looked for before CONNECT. While an answer is being
// collected a success word ends it even after an ERROR; once collected, an ERROR anywhere in it
// makes it an error answer.
constexpr std::array<FinalAnswer, 3> kFinalAnswers{{
    {kOk, Outcome::kSuccess},
    {"CONNECT", Outcome::kSuccess},
    {"ERROR", Outcome::kFailure},
}};

// A final word found in an answer; `word` is empty when there is none.
struct FinalWord {
  std::string_view word;
  std::size_t at = std::string_view::npos;
};

bool IsDigit(std::uint8_t c) {
  return c >= '0' && c <= '9';
}

// The first word of the table with `outcome` that `collected` holds, and where it stands.
FinalWord FindFinal(std::span<const std::uint8_t> collected, Outcome outcome) {
  for (const FinalAnswer& answer : kFinalAnswers) {
    if (answer.outcome != outcome) continue;
    const std::size_t at = Find(collected, answer.word);
    if (at != std::string_view::npos) return {answer.word, at};
  }
  return {};
}

bool Holds(std::span<const std::uint8_t> collected, Outcome outcome) {
  return !FindFinal(collected, outcome).word.empty();
}

}  // namespace

std::size_t Find(std::span<const std::uint8_t> haystack, std::string_view needle) {
  const auto found =
      std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                  [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  return found == haystack.end() ? std::string_view::npos
                                 : static_cast<std::size_t>(found - haystack.begin());
}

bool Contains(std::span<const std::uint8_t> haystack, std::string_view needle) {
  return Find(haystack, needle) != std::string_view::npos;
}

AnswerCollector::Poll AnswerCollector::Add(std::span<const std::uint8_t> bytes) {
  total_ += bytes.size();
  if (total_ > kMaxAnswerBytes) return Poll::kOverflow;
  std::copy(bytes.begin(), bytes.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(kept_));
  kept_ += bytes.size();
  const auto collected = Collected();
  if (Holds(collected, Outcome::kSuccess)) return Poll::kFinal;
  if (Holds(collected, Outcome::kFailure)) return Poll::kError;
  return Poll::kGoOn;
}

bool AnswerLineEnded(std::span<const std::uint8_t> collected) {
  FinalWord found = FindFinal(collected, Outcome::kSuccess);
  if (found.word.empty()) found = FindFinal(collected, Outcome::kFailure);
  if (found.word.empty()) return false;
  const auto rest = collected.subspan(found.at + found.word.size());
  const auto end =
      std::find_if(rest.begin(), rest.end(), [](std::uint8_t c) { return c == '\r' || c == '\n'; });
  // a carriage return has its line feed still to come, which belongs to this answer too
  return end != rest.end() && (*end == '\n' || std::next(end) != rest.end());
}

bool ClassifyAnswer(std::span<const std::uint8_t> collected, AnswerStatus& status,
                    std::uint8_t& eventCode) {
  if (collected.empty()) {
    status.answerKind = kAnswerUnparsable;
    eventCode = kEventPortTimeout;
    return false;
  }
  if (Holds(collected, Outcome::kFailure)) {
    status.answerKind = kAnswerError;
    return true;
  }
  if (!Holds(collected, Outcome::kSuccess)) {
    status.answerKind = kAnswerUnparsable;
    eventCode = kEventUnexpectedResponse;
    return false;
  }
  if (!Contains(collected, kValueTag)) {
    status.answerKind = kAnswerFinal;
    return true;
  }
  const std::size_t space = Find(collected, " ");
  if (space != std::string_view::npos) {
    const auto rest = collected.subspan(space + 1);
    const auto end = std::find(rest.begin(), rest.end(), static_cast<std::uint8_t>('\r'));
    const auto digits = std::span(rest.begin(), end);
    if (std::all_of(digits.begin(), digits.end(), IsDigit)) {
      // the handset reports at most a few megabytes; a longer run of digits is clamped rather
      // than overflowing
      std::int64_t value = 0;
      for (const std::uint8_t digit : digits)
        value = std::min<std::int64_t>(value * 10 + (digit - '0'), INT32_MAX);
      status.value = static_cast<std::int32_t>(value);
      status.answerKind = kAnswerWithValue;
      return true;
    }
  }
  status.answerKind = kAnswerUnparsable;
  eventCode = kEventUnexpectedResponse;
  return false;
}

std::uint8_t ErrorAnswerEvent(std::span<const std::uint8_t> collected) {
  const std::size_t prefix = Find(collected, kCmePrefix);
  if (prefix == std::string_view::npos) return kEventUnexpectedResponse;
  std::int32_t number = 0;
  const auto digits = collected.subspan(prefix + kCmePrefix.size());
  for (std::size_t i = 0; i < digits.size() && i < kMaxCmeDigits && IsDigit(digits[i]); ++i)
    number = number * 10 + (digits[i] - '0');
  for (const CmeCode& code : kCmeCodes)
    if (code.number == number) return code.event;
  return kEventUnexpectedResponse;
}

}  // namespace vandrel
