#include "handset/arrival_wait.h"

#include "serial/serial_driver.h"

namespace vandrel {

void AwaitArrivals(int port, const WaitPolicy& policy, Clock& clock, std::uint32_t stepMs,
                   std::uint64_t waitMs, ArrivalReader& reader) {
  std::uint64_t elapsed = 0;
  for (std::uint64_t end = waitMs; elapsed < end;) {
    elapsed += policy.AwaitArrival(port, stepMs, end - elapsed, clock);
    const std::span<std::uint8_t> room = reader.Room();
    if (room.empty()) return;
    bool timedOut = false;
    const int count = SerialRead(port, room, timedOut);
    if (count > 0) {
      const std::optional<std::uint64_t> next =
          reader.Took(static_cast<std::size_t>(count), elapsed, end);
      if (!next) return;
      end = *next;
    }
    // nothing more can come over a line that failed, and a stopped send waits for nothing
    if (SerialLineFailure(port) != kDriverNoError) return;
  }
}

}  // namespace vandrel
