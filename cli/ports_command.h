#pragma once

namespace CLI {
class App;
}

namespace vandrel {

// Prints the ports the window's Port menu lists, number and device, and marks the port that
// `send` uses, listed or not. Returns kExitDone, or kExitFailed when the system's port list
// cannot be read.
int RunPorts();

void AddPortsCommand(CLI::App& app, int& exitStatus);

}  // namespace vandrel
