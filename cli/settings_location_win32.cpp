#include "app/settings.h"
#include "cli/settings_location.h"

namespace vandrel {

std::string SettingsLocation() {
  return std::string("HKEY_CURRENT_USER\\") + kSettingsKey;
}

SettingsProblemsShown::SettingsProblemsShown(UserInterface&) {}

SettingsProblemsShown::~SettingsProblemsShown() = default;

}  // namespace vandrel
