#pragma once

#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace vandrel {

// Whether the program's arguments ask for its usage: "/?", "-h" or "--help" among them.
bool AsksForUsage(const std::vector<std::string>& arguments);
// Shows the two ways of starting the program in a plain box on `ui`.
void ShowUsage(UserInterface& ui);

}  // namespace vandrel
