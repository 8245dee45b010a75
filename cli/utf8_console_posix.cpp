#include "cli/utf8_console.h"

namespace vandrel {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

// A POSIX terminal takes the bytes as they are.
void UseUtf8Console() {}

}  // namespace vandrel
