#include <CLI/CLI.hpp>
#include <vector>

#include "cli/command_session.h"
#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/ports_command.h"
#include "cli/search_command.h"
#include "cli/send_command.h"
#include "cli/utf8_console.h"

int main(int argc, char** argv) {
  vandrel::UseUtf8Console();
  const std::vector<std::string> arguments = vandrel::Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  CLI::App app("Sends media objects to a Kesta handset over a serial port.", "vandrel-cli");
  app.require_subcommand(1);
  int exitStatus = vandrel::kExitDone;
  vandrel::AddSendCommand(app, exitStatus);
  vandrel::AddPortsCommand(app, exitStatus);
  vandrel::AddSearchCommand(app, exitStatus);
  vandrel::AddConvertCommand(app, exitStatus);
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    return vandrel::ParseErrorStatus(app, app.exit(error));
  }
  return exitStatus;
}
