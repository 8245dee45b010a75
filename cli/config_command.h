#pragma once

#include <optional>

#include "platform/user_interface.h"

namespace CLI {
class App;
}

namespace vandrel {

struct CommandSeams;

// The choices `config` may store; the others stay as they are.
struct ConfigChanges {
  std::optional<int> port;
  std::optional<int> language;
  std::optional<int> kind;
  std::optional<int> patient;
};

// Stores the changes given, under the keys the window uses, then prints every setting and where
// the settings live. Without changes nothing is written. Returns kExitDone, or kExitFailed when
// a change could not be stored.
int RunConfig(const ConfigChanges& changes, UserInterface& console);

void AddConfigCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus);

}  // namespace vandrel
