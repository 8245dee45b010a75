#pragma once

#include <optional>

#include "app/batch_start.h"
#include "cli/serialized_user_interface.h"

namespace vandrel {

// Makes `ui` the program's user interface for its lifetime.
class ScopedUserInterface {
 public:
  explicit ScopedUserInterface(UserInterface& ui) { InstallUserInterface(&ui); }
  ~ScopedUserInterface() { InstallUserInterface(nullptr); }
  ScopedUserInterface(const ScopedUserInterface&) = delete;
  ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;
};

// What a command that talks to a handset or reads the settings starts from: the batch start-up
// that vandrel.exe FILES... goes through too, with messages on the console. Only one session
// exists at a time.
class CommandSession {
 public:
  // `language` replaces the stored language for this run only.
  explicit CommandSession(std::optional<int> language);
  ~CommandSession();
  CommandSession(const CommandSession&) = delete;
  CommandSession& operator=(const CommandSession&) = delete;

  BatchStart& start() { return start_; }
  // The console, safe to share between the send and the progress ticker.
  UserInterface& console() { return ui_; }

 private:
  ConsoleUserInterface console_;
  SerializedUserInterface ui_{console_};
  // installed before the start-up runs, so that what it reports reaches the console
  ScopedUserInterface installed_{ui_};
  BatchStart start_;
};

}  // namespace vandrel
