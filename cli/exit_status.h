#pragma once

namespace vandrel {

// What every vandrel-cli command tells the shell.
enum ExitStatus : int {
  kExitDone = 0,
  kExitFailed = 1,  // a file, a port, the handset or the search failed; the reason was shown
  kExitUsage = 2,   // the command line itself was wrong: no command, an unknown one, a bad value
};

}  // namespace vandrel
