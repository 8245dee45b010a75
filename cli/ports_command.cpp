#include "cli/ports_command.h"

#include <CLI/CLI.hpp>

#include "cli/command_session.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "serial/port_map.h"

namespace vandrel {

int RunPorts() {
  CommandSession session(std::nullopt);
  if (!session.portsListed) {
    ShowError("The system's list of serial ports cannot be read");
    return kExitSendFailed;
  }
  if (session.ports.count == 0) ShowPlain("No serial port is listed.");
  for (int position = 1; position <= session.ports.count; ++position) {
    const int port = session.ports.ports[static_cast<std::size_t>(position)];
    ShowPlain(FormatText("%c COM%-3d %s", port == session.selection.port ? '*' : ' ', port,
                         SerialDevicePath(port).c_str()));
  }
  return kExitAllSent;
}

void AddPortsCommand(CLI::App& app, int& exitStatus) {
  CLI::App* ports = app.add_subcommand(
      "ports", "List the serial ports as the Port menu does; * marks the selected one.");
  ports->group(kHandsetCommandsGroup);
  ports->callback([&exitStatus] { exitStatus = RunPorts(); });
}

}  // namespace vandrel
