#include "cli/search_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command_session.h"
#include "cli/console_lines.h"
#include "cli/exit_status.h"
#include "cli/option_words.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

struct SearchRequest {
  std::vector<std::string> devices;
  std::optional<int> language;
};

}  // namespace

int RunSearch(const std::vector<std::string>& devices, std::optional<int> language,
              const CommandSeams& seams) {
  // the list is built from the port map, so the devices must be in it before the session starts
  for (const std::string& device : devices) RegisterSerialDevicePath(device);
  CommandSession session(language);
  StartUp& start = session.start();
  // the search tells its outcome in one message; which stream it belongs on is known only after
  RecordingUserInterface said;
  EventLog searchLog;
  const int found = AutoSearch(LinkContext{.clock = seams.clock, .ui = said, .log = searchLog},
                               start.ports, start.settings.lineSpeeds, start.selection);
  CloseListedPorts(start.ports);
  for (const RecordingUserInterface::Box& box : said.boxes)
    seams.console.ShowBox(found != 0 ? BoxKind::kPlain : BoxKind::kError,
                          ConsoleLines(box.text, ""));
  if (found == 0) return kExitFailed;
  SaveNumberSetting(kPortSetting, start.selection.port);
  SaveLineSpeeds(start.settings.lineSpeeds);
  return kExitDone;
}

void AddSearchCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus) {
  auto request = std::make_shared<SearchRequest>();
  CLI::App* search = app.add_subcommand(
      "search", "Search the listed ports for a handset; store the port found for send");
  search->add_option("--device", request->devices, "also search this serial device")
      ->option_text("PATH");
  AddWordOption(*search, "--lang", request->language, LanguageWords(), "message language");
  search->footer(
      "The port found is printed on stdout; when none is found the report of each port goes\n"
      "to stderr.\n"
      "Exit status: 0 a handset was found, 1 none was found, 2 a usage error.");
  search->callback([request, seams, &exitStatus] {
    exitStatus = RunSearch(request->devices, request->language, seams);
  });
}

}  // namespace vandrel
