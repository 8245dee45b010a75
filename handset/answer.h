#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vandrel {

// What kind of answer the handset gave.
enum AnswerKind : std::int32_t {
  kAnswerFinal = 0,       // OK or CONNECT without a value
  kAnswerWithValue = 1,   // OK or CONNECT with a "+KDOBJ:" value
  kAnswerError = 2,       // the answer holds ERROR
  kAnswerUnparsable = 3,  // nothing, or nothing that can be understood
};

// A classified answer. `value` is written only by an answer with a value and otherwise keeps
// what the previous one left.
struct AnswerStatus {
  std::int32_t answerKind = kAnswerFinal;
  std::int32_t value = 0;
};

inline constexpr std::size_t kMaxAnswerBytes = 512;

// The final word of a command that succeeded.
inline constexpr std::string_view kOk = "OK";

// Whether the line holding the answer word (OK, CONNECT, or ERROR with its code) has ended: the
// answer is then complete, and nothing of it is left for the next one.
bool AnswerLineEnded(std::span<const std::uint8_t> collected);

// Collects the bytes of one answer, poll by poll: keeps the first 512 bytes and notices the
// words that end or shorten the wait.
class AnswerCollector {
 public:
  enum class Poll {
    kGoOn,      // keep polling
    kFinal,     // OK or CONNECT came: stop after this poll
    kError,     // ERROR is in: allow a few more quiet polls
    kOverflow,  // more than 512 bytes: stop, this poll's bytes were dropped
  };

  Poll Add(std::span<const std::uint8_t> bytes);
  bool WordLineEnded() const { return AnswerLineEnded(Collected()); }
  std::span<const std::uint8_t> Collected() const { return {buffer_.data(), kept_}; }
  std::size_t Total() const { return total_; }

 private:
  std::array<std::uint8_t, kMaxAnswerBytes> buffer_{};
  std::size_t kept_ = 0;
  std::size_t total_ = 0;
};

// Classifies the collected bytes into `status`. False when the answer cannot be understood;
// `eventCode` then says why (20 nothing came, 21 unexpected answer).
bool ClassifyAnswer(std::span<const std::uint8_t> collected, AnswerStatus& status,
                    std::uint8_t& eventCode);

// The event for an ERROR answer: the "+CME ERROR: 100," code's event, 21 for anything else.
std::uint8_t ErrorAnswerEvent(std::span<const std::uint8_t> collected);

// Where `needle` first occurs in `haystack`; npos when it does not.
std::size_t Find(std::span<const std::uint8_t> haystack, std::string_view needle);
// Whether `needle` occurs in `haystack`.
bool Contains(std::span<const std::uint8_t> haystack, std::string_view needle);

}  // namespace vandrel
