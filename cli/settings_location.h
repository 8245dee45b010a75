#pragma once

#include <string>

#include "platform/user_interface.h"

namespace vandrel {

// Where the settings that the window and the command line share are kept, for the user to read.
std::string SettingsLocation();

// While it lives, a settings file that cannot be read or is set aside is reported on `ui` as a
// warning (on POSIX; the Windows registry has no such file).
class SettingsProblemsShown {
 public:
  explicit SettingsProblemsShown(UserInterface& ui);
  ~SettingsProblemsShown();
  SettingsProblemsShown(const SettingsProblemsShown&) = delete;
  SettingsProblemsShown& operator=(const SettingsProblemsShown&) = delete;
};

}  // namespace vandrel
