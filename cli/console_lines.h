#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// A message as a console shows it: the window's line breaks (CR LF, and the empty line that
// starts a diagnostic log) become plain line ends, and with a `label` every line starts with
// "label: ", so that each line says what it belongs to.
std::string ConsoleLines(std::string_view text, std::string_view label);

}  // namespace vandrel
