#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/command_session.h"
#include "cli/config_command.h"
#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/ports_command.h"
#include "cli/search_command.h"
#include "cli/send_command.h"
#include "cli/serialized_user_interface.h"
#include "cli/settings_location.h"
#include "runtime/app_state.h"

namespace vandrel {

namespace {

constexpr const char* kExamples =
    "Examples:\n"
    "  vandrel-cli ports                      the serial ports, * marks the one send uses\n"
    "  vandrel-cli search                     find the handset and keep its port\n"
    "  vandrel-cli config --port 3 --lang fr  keep COM3 and French messages\n"
    "  vandrel-cli send logo.png ring.wav     send two files on the kept port\n"
    "  vandrel-cli send -q --device /dev/ttyUSB0 me.vcf\n"
    "  vandrel-cli convert ring.wav ring-adpcm.wav\n";

constexpr const char* kExitStatuses =
    "Exit status (every command): 0 all done; 1 a file, the port, the handset or the search\n"
    "failed; 2 a usage error (no command, an unknown command or option, a bad value).";

}  // namespace

std::string VersionText() {
  return std::string(kAppTitle) + " (vandrel-cli " + VANDREL_BUILD_VERSION + ")";
}

int RunCommandLine(const std::vector<std::string>& arguments, Clock& clock) {
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  CLI::App app("Sends media objects to a Kesta handset over a serial port.", "vandrel-cli");
  app.require_subcommand(1, 1);
  // the same options everywhere: on Windows too a path such as /tmp/a.wav is a file, not an option
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", VersionText(), "Show the program's version and exit");
  app.footer(std::string(kExamples) + "\n" + kExitStatuses);
  ConsoleUserInterface console;
  SerializedUserInterface shared(console);
  const SettingsProblemsShown settingsProblems(shared);
  const CommandSeams seams{clock, shared};
  int exitStatus = kExitDone;
  AddSendCommand(app, seams, exitStatus);
  AddPortsCommand(app, seams, exitStatus);
  AddSearchCommand(app, seams, exitStatus);
  AddConfigCommand(app, seams, exitStatus);
  AddConvertCommand(app, seams, exitStatus);
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    // a word where a command belongs is a command that does not exist, not a missing one
    if (app.get_subcommands().empty() && !app.remaining().empty()) {
      const std::string word = app.remaining().front();
      std::fprintf(stderr, "vandrel-cli: %s is no %s; run with --help for the commands\n",
                   word.c_str(), word.starts_with('-') ? "option" : "command");
      return kExitUsage;
    }
    // help and version are "errors" that end the parse with status 0
    return app.exit(error) == 0 ? kExitDone : kExitUsage;
  }
  return exitStatus;
}

}  // namespace vandrel
