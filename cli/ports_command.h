#pragma once

#include "platform/user_interface.h"

namespace CLI {
class App;
}

namespace vandrel {

struct CommandSeams;

// Prints the ports the window's Port menu lists, number and device, and marks the port that
// `send` uses, listed or not. Returns kExitDone, or kExitFailed when the system's port list
// cannot be read.
int RunPorts(UserInterface& console);

void AddPortsCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus);

}  // namespace vandrel
