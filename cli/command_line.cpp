#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include "cli/command_session.h"
#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/ports_command.h"
#include "cli/search_command.h"
#include "cli/send_command.h"

namespace vandrel {

int RunCommandLine(const std::vector<std::string>& arguments) {
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  CLI::App app("Sends media objects to a Kesta handset over a serial port.", "vandrel-cli");
  app.require_subcommand(1);
  int exitStatus = kExitDone;
  AddSendCommand(app, exitStatus);
  AddPortsCommand(app, exitStatus);
  AddSearchCommand(app, exitStatus);
  AddConvertCommand(app, exitStatus);
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    return ParseErrorStatus(app, app.exit(error));
  }
  return exitStatus;
}

}  // namespace vandrel
