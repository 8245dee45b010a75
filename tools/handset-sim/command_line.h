#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vandrel::sim {

// A command line as the handset gathered it, from its "AT" on, without the carriage return.
struct CommandLine {
  std::string text;
  // Longer than the handset takes: `text` holds only its beginning.
  bool overflow = false;
};

// Gathers command lines the way a handset does in command mode: it hunts for the "AT" that starts
// a command and throws away whatever comes before it, then takes the line up to its carriage
// return.
class CommandLineReader {
 public:
  // Takes one byte; gives the line at the carriage return that ends it.
  std::optional<CommandLine> Take(char c);
  // The bytes thrown away while hunting since the last call (carriage returns and line feeds
  // between commands do not count), and starts counting afresh.
  std::uint64_t TakeStrayCount();

 private:
  std::string line_;
  bool overflow_ = false;
  std::uint64_t stray_ = 0;
};

}  // namespace vandrel::sim
