#include "cli/command_session.h"

#include <CLI/CLI.hpp>

#include "app/language.h"
#include "app/message_catalogue.h"
#include "objects/event_table.h"

namespace vandrel {

const std::map<std::string, int>& LanguageNames() {
  static const std::map<std::string, int> names{{"en", kEnglish}, {"fr", kFrench}};
  return names;
}

int ParseErrorStatus(const CLI::App& app, int parserStatus) {
  if (parserStatus == 0) return parserStatus;
  for (const CLI::App* command : app.get_subcommands())
    if (command->get_group() == kHandsetCommandsGroup) return kExitUsage;
  return parserStatus;
}

CommandSession::CommandSession(std::optional<int> language) {
  InstallUserInterface(&ui_);
  AppState& state = TheAppState();
  state.batchMode = true;
  ProduceSerialPortKey();
  LoadSettings(settings);
  selection.port = settings.port;
  portsListed = BuildPortList(ports);
  if (portsListed) SelectInitialPort(ports, selection);
  state.portSelection = &selection;
  SetLanguage(language.value_or(settings.language), nullptr);
}

CommandSession::~CommandSession() {
  DestroyEventTable();
  TheAppState().portSelection = nullptr;
  InstallUserInterface(nullptr);
}

}  // namespace vandrel
