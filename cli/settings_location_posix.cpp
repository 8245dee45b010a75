#include "app/settings.h"
#include "cli/settings_location.h"
#include "platform/file_registry_store.h"

namespace vandrel {

std::string SettingsLocation() {
  return FileRegistryStore(FileRegistryStore::DefaultFolder()).FilePath().string() + ", key " +
         kSettingsKey;
}

SettingsProblemsShown::SettingsProblemsShown(UserInterface& ui) {
  PlatformFileRegistryStore().ReportProblemsTo(
      [&ui](const std::string& sentence) { ShowWarning(ui, "vandrel-cli: " + sentence); });
}

SettingsProblemsShown::~SettingsProblemsShown() {
  PlatformFileRegistryStore().ReportProblemsTo(nullptr);
}

}  // namespace vandrel
