#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"

namespace vandrel {

// Runs one vandrel-cli command line (`arguments[0]` is the program's name, the rest UTF-8), its
// waits on `clock`, and returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, Clock& clock);

// What --version prints: the window's About line and the build's version.
std::string VersionText();

}  // namespace vandrel
