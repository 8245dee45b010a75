#pragma once

namespace vandrel {

// What vandrel-cli tells the shell. Errors in the command line itself keep the parser's codes.
enum ExitStatus : int {
  kExitDone = 0,
  kExitNotConverted = 1,  // the input was refused or would not shrink; nothing was written
  kExitFileError = 2,     // a file could not be read or written
};

}  // namespace vandrel
