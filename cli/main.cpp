#include "cli/command_line.h"
#include "cli/utf8_console.h"
#include "platform/clock.h"

int main(int argc, char** argv) {
  vandrel::UseUtf8Console();
  vandrel::RealClock clock;
  return vandrel::RunCommandLine(vandrel::Utf8Arguments(argc, argv), clock);
}
