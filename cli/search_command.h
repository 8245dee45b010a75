#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace CLI {
class App;
}

namespace vandrel {

struct CommandSeams;

// Searches the listed ports for a compliant handset, as the Port menu's "Auto" does, and on
// success stores the port found. `devices` are added to the list first (a device the system
// does not report, such as a pseudo-terminal). The port found goes to stdout, the not-found
// report to stderr. Returns kExitDone when a handset was found, kExitFailed otherwise.
int RunSearch(const std::vector<std::string>& devices, std::optional<int> language,
              const CommandSeams& seams);

void AddSearchCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus);

}  // namespace vandrel
