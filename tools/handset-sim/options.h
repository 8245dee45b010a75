#pragma once

#include <string>

#include "tools/handset-sim/line.h"
#include "tools/handset-sim/profile.h"

namespace vandrel::sim {

struct SimOptions {
  HandsetProfile profile;
  LineOptions line;
  std::string linkPath;
  std::string storeFolder;
  // A dead port whose CTS is low: the client's writes are held from the start, nothing is read.
  bool ctsLow = false;
  bool once = false;
  bool verbose = false;
  // Stay in a data phase when the client closes its side of the line, until the client has been
  // quiet for 10 s, as a handset that does not watch the line would.
  bool keepDataOnClose = false;
};

// Parses the command line. Returns -1 to go on, otherwise the exit code (after --help, or after
// printing what was wrong).
int ParseOptions(int argc, char** argv, SimOptions& options);

}  // namespace vandrel::sim
