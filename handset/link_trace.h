#pragma once

#include <cstdint>
#include <span>

namespace vandrel {

// What the link does on the line, for a trace a support person can read: every port opened and
// closed, every byte queued for writing and every byte an answer poll brought back. Calls come
// from the thread that runs the link.
class LinkTrace {
 public:
  virtual ~LinkTrace() = default;
  virtual void PortOpened(int port, std::int32_t speed, int openResult) = 0;
  virtual void PortClosed(int port) = 0;
  virtual void Written(int port, std::span<const std::uint8_t> bytes) = 0;
  virtual void Read(int port, std::span<const std::uint8_t> bytes) = 0;
};

// The trace of a link nobody traces.
LinkTrace& NoLinkTrace();

}  // namespace vandrel
