#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace vandrel {

// A Linux pseudo-terminal whose slave side stands in for a serial port. The peer keeps a slave
// descriptor of its own, so the master side never sees a hang-up while the port under test is
// closed or not yet opened.
class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the pair; false (with errno set) when the system refuses.
  bool Open();
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

// Asked between two waits whether to go on (the program under test still runs, time is left).
using KeepGoing = std::function<bool()>;

// The peer of the transfer check: receives the outgoing pattern, checks every byte, then sends
// the incoming pattern. Returns an empty string on success, else what went wrong.
std::string ServeTransferCheck(int master, const KeepGoing& keepGoing);

// Reads and discards what arrives, at no more than `bytesPerSecond`, like a device on a slow
// line. Returns the number of bytes read.
std::size_t Drain(int master, int bytesPerSecond, const KeepGoing& keepGoing);

}  // namespace vandrel
