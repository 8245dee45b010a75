#include "platform/terminal.h"

#ifdef _WIN32
#include <io.h>
#define VANDREL_ISATTY _isatty
#define VANDREL_FILENO _fileno
#else
#include <unistd.h>
#define VANDREL_ISATTY isatty
#define VANDREL_FILENO fileno
#endif

namespace vandrel {

bool IsTerminal(std::FILE* stream) {
  return VANDREL_ISATTY(VANDREL_FILENO(stream)) != 0;
}

}  // namespace vandrel
