#pragma once

namespace CLI {
class App;
}

namespace vandrel {

// Prints the ports the window's Port menu lists, number and device, the selected one marked.
// Returns kExitAllSent, or kExitSendFailed when the system's port list cannot be read.
int RunPorts();

void AddPortsCommand(CLI::App& app, int& exitStatus);

}  // namespace vandrel
