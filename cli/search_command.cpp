#include "cli/search_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command_session.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

struct SearchRequest {
  std::vector<std::string> devices;
  std::optional<int> language;
};

}  // namespace

int RunSearch(const std::vector<std::string>& devices, std::optional<int> language) {
  // the list is built from the port map, so the devices must be in it before the session starts
  for (const std::string& device : devices) RegisterSerialDevicePath(device);
  CommandSession session(language);
  const int found = AutoSearch(session.ports, session.settings.lineSpeeds, session.selection);
  CloseListedPorts(session.ports);
  if (found == 0) return kExitSendFailed;
  session.settings.port = session.selection.port;
  SaveSettings(session.settings);
  return kExitAllSent;
}

void AddSearchCommand(CLI::App& app, int& exitStatus) {
  auto request = std::make_shared<SearchRequest>();
  CLI::App* search = app.add_subcommand(
      "search", "Search the listed ports for a handset; select and save the port found.");
  search->add_option("--device", request->devices, "also search this serial device");
  search->add_option("--lang", request->language, "message language: en or fr")
      ->transform(CLI::CheckedTransformer(LanguageNames()));
  search->footer("Exit status: 0 a handset was found, 1 none was found, 2 a usage error.");
  search->group(kHandsetCommandsGroup);
  search->callback(
      [request, &exitStatus] { exitStatus = RunSearch(request->devices, request->language); });
}

}  // namespace vandrel
