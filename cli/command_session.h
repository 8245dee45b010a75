#pragma once

#include <optional>

#include "app/start_up.h"
#include "platform/clock.h"
#include "platform/user_interface.h"

namespace vandrel {

// What the command line hands every command: the clock its waits run on and the console it
// speaks to, safe to share between a send and its progress ticker.
struct CommandSeams {
  Clock& clock;
  UserInterface& console;
};

// What a command that talks to a handset or reads the settings starts from: the start-up that
// the window and vandrel.exe FILES... go through too, on a port list that the machine's serial
// devices make up where the system keeps none. Only one session exists at a time.
class CommandSession {
 public:
  // `language` replaces the stored language for this run only.
  explicit CommandSession(std::optional<int> language) : start_(StartOnDevices(language)) {}
  ~CommandSession();
  CommandSession(const CommandSession&) = delete;
  CommandSession& operator=(const CommandSession&) = delete;

  StartUp& start() { return start_; }

 private:
  static StartUp StartOnDevices(std::optional<int> language);

  StartUp start_;
};

}  // namespace vandrel
