#include "cli/command_line.h"
#include "cli/utf8_console.h"

int main(int argc, char** argv) {
  vandrel::UseUtf8Console();
  return vandrel::RunCommandLine(vandrel::Utf8Arguments(argc, argv));
}
