#pragma once

#include <string>

namespace vandrel {

// Where the settings that the window and the command line share are kept, for the user to read.
std::string SettingsLocation();

}  // namespace vandrel
