#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "handset/wait_policy.h"
#include "platform/clock.h"

namespace vandrel {

// What one wait does with the bytes that come in.
class ArrivalReader {
 public:
  virtual ~ArrivalReader() = default;
  // Where the next read goes; the wait ends when there is no room left.
  virtual std::span<std::uint8_t> Room() = 0;
  // Takes the `count` bytes just read into Room(), `elapsedMs` into a wait due to end at `endMs`;
  // returns when the wait now ends, or nothing when it is over.
  virtual std::optional<std::uint64_t> Took(std::size_t count, std::uint64_t elapsedMs,
                                            std::uint64_t endMs) = 0;
};

// The one way the link waits for the handset: at most `waitMs` on `port`, in steps of `stepMs`
// as `policy` takes them, each arrival handed to `reader`, which may end the wait or move its end.
// A line that failed or a port that was stopped ends the wait at once.
void AwaitArrivals(int port, const WaitPolicy& policy, Clock& clock, std::uint32_t stepMs,
                   std::uint64_t waitMs, ArrivalReader& reader);

}  // namespace vandrel
