#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/clock.h"

namespace vandrel {

struct CliOutput {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs vandrel-cli's command line in this process with `arguments` after the program's name.
inline CliOutput RunCli(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "vandrel-cli");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  CliOutput output;
  VirtualClock clock;
  output.status = RunCommandLine(arguments, clock);
  output.out = testing::internal::GetCapturedStdout();
  output.err = testing::internal::GetCapturedStderr();
  return output;
}

}  // namespace vandrel
