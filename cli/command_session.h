#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/port_list.h"
#include "app/settings.h"
#include "cli/serialized_user_interface.h"

namespace CLI {
class App;
}

namespace vandrel {

// What the commands that talk to a handset tell the shell.
enum HandsetExitStatus : int {
  kExitAllSent = 0,
  kExitSendFailed = 1,  // a file, a port or the search failed; the reason was shown
  kExitUsage = 2,       // the command line itself was wrong
};

// The help group of those commands, by which a command-line error is told to be theirs.
inline constexpr const char* kHandsetCommandsGroup = "Handset commands";

// The exit status after the command line could not be parsed: kExitUsage when the command at
// fault talks to a handset, the parser's own status otherwise.
int ParseErrorStatus(const CLI::App& app, int parserStatus);

// The values of --lang.
const std::map<std::string, int>& LanguageNames();

// What a command that talks to a handset starts from, the same as the window: the stored
// settings, the port list with its initial selection and the interface language. Messages go
// to the console. Only one session exists at a time.
class CommandSession {
 public:
  // `language` replaces the stored language for this run only.
  explicit CommandSession(std::optional<int> language);
  ~CommandSession();
  CommandSession(const CommandSession&) = delete;
  CommandSession& operator=(const CommandSession&) = delete;

  AppSettings settings;
  PortList ports;
  bool portsListed = false;
  // The port of this run; AppState points at it.
  PortSelection selection;

 private:
  ConsoleUserInterface console_;
  SerializedUserInterface ui_{console_};
};

}  // namespace vandrel
