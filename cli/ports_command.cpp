#include "cli/ports_command.h"

#include <CLI/CLI.hpp>

#include "cli/command_session.h"
#include "cli/exit_status.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

// The port's number, its device and the device's stable name (when its path does not say it).
std::string PortLine(int port, bool selected) {
  const std::string path = SerialDevicePath(port);
  const std::string stableName = SerialDeviceStableName(port);
  std::string line = FormatText("%c COM%-3d %s", selected ? '*' : ' ', port, path.c_str());
  if (!stableName.empty() && !path.ends_with("/" + stableName)) line += " (" + stableName + ")";
  return line;
}

}  // namespace

int RunPorts(UserInterface& console) {
  CommandSession session(std::nullopt);
  const StartUp& start = session.start();
  if (!start.portsListed) {
    ShowError(console, "The system's list of serial ports cannot be read");
    return kExitFailed;
  }
  if (start.ports.count == 0) ShowPlain(console, "No serial port is listed.");
  const int selected = start.selection.port;
  for (int position = 1; position <= start.ports.count; ++position) {
    const int port = start.ports.ports[static_cast<std::size_t>(position)];
    ShowPlain(console, PortLine(port, port == selected));
  }
  if (!start.IsListed(selected))
    ShowPlain(console, selected == 0 ? std::string("* no port is selected")
                                     : PortLine(selected, true) + " (stored, not listed now)");
  return kExitDone;
}

void AddPortsCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus) {
  CLI::App* ports = app.add_subcommand(
      "ports", "List the serial ports as the Port menu does; * marks the one send uses");
  ports->callback([seams, &exitStatus] { exitStatus = RunPorts(seams.console); });
}

}  // namespace vandrel
