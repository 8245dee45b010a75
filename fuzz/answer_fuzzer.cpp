// Arbitrary bytes from the line, cut into polls of arbitrary sizes: the answer collection, the
// classification of what was collected and the event an ERROR answer gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "handset/answer.h"
#include "objects/event_table.h"

namespace {

using namespace vandrel;

constexpr std::size_t kMaxPollBytes = 600;
constexpr std::int32_t kUntouchedValue = -7;

bool IsErrorAnswerEvent(std::uint8_t event) {
  constexpr std::uint8_t kEvents[] = {
      kEventUnexpectedResponse, kEventSourceEmpty,       kEventPhoneStorageFull,
      kEventFormatUnsupported,  kEventObjectUnsupported, kEventUnexpectedResponseReboot,
      kEventFlashWriteFailed,
  };
  return std::find(std::begin(kEvents), std::end(kEvents), event) != std::end(kEvents);
}

void Classify(std::span<const std::uint8_t> answer) {
  AnswerStatus status;
  status.value = kUntouchedValue;
  std::uint8_t event = 0;
  if (ClassifyAnswer(answer, status, event)) {
    FUZZ_CHECK(event == 0);
    FUZZ_CHECK((status.answerKind == kAnswerError) == Contains(answer, "ERROR"));
    if (status.answerKind == kAnswerWithValue)
      FUZZ_CHECK(status.value >= 0 && Contains(answer, "+KDOBJ:"));
    else
      FUZZ_CHECK(status.value == kUntouchedValue);
  } else {
    FUZZ_CHECK(status.answerKind == kAnswerUnparsable);
    FUZZ_CHECK(event == (answer.empty() ? kEventPortTimeout : kEventUnexpectedResponse));
    FUZZ_CHECK(status.value == kUntouchedValue);
  }
  FUZZ_CHECK(IsErrorAnswerEvent(ErrorAnswerEvent(answer)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  AnswerCollector collector;
  std::vector<std::uint8_t> line;
  bool overflowed = false;
  while (provider.remaining_bytes() > 0) {
    const std::size_t pollBytes = provider.ConsumeIntegralInRange<std::size_t>(0, kMaxPollBytes);
    const std::vector<std::uint8_t> poll = provider.ConsumeBytes<std::uint8_t>(pollBytes);
    line.insert(line.end(), poll.begin(), poll.end());
    const AnswerCollector::Poll result = collector.Add(poll);
    const auto collected = collector.Collected();
    FUZZ_CHECK(collector.Total() == line.size());
    FUZZ_CHECK(collected.size() <= kMaxAnswerBytes);
    FUZZ_CHECK(std::equal(collected.begin(), collected.end(), line.begin()));
    if (line.size() > kMaxAnswerBytes) overflowed = true;
    if (overflowed) {
      FUZZ_CHECK(result == AnswerCollector::Poll::kOverflow);
      continue;
    }
    FUZZ_CHECK(collected.size() == line.size());
    const bool final = Contains(collected, "OK") || Contains(collected, "CONNECT");
    FUZZ_CHECK((result == AnswerCollector::Poll::kFinal) == final);
    FUZZ_CHECK((result == AnswerCollector::Poll::kError) ==
               (!final && Contains(collected, "ERROR")));
  }
  Classify(collector.Collected());
  Classify(line);
  return 0;
}
