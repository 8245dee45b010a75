#include "app/win32/usage_box.h"

#include <algorithm>
#include <string_view>

#include "platform/user_interface.h"

namespace vandrel {

namespace {

constexpr std::string_view kUsageOptions[] = {"/?", "-h", "--help"};

constexpr std::string_view kUsage =
    "Usage:\r\n"
    "  vandrel.exe\t\topens the window\r\n"
    "  vandrel.exe FILE...\tsends the files in turn, without the window\r\n"
    "\r\n"
    "The files go to the port of the settings. The object type comes from each file's "
    "extension, the title from its name. A file that is missing is skipped.";

}  // namespace

bool AsksForUsage(const std::vector<std::string>& arguments) {
  return std::ranges::any_of(arguments, [](const std::string& argument) {
    return std::ranges::find(kUsageOptions, argument) != std::end(kUsageOptions);
  });
}

void ShowUsage(UserInterface& ui) {
  ShowPlain(ui, kUsage);
}

}  // namespace vandrel
