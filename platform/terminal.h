#pragma once

#include <cstdio>

namespace vandrel {

// Whether `stream` is an interactive terminal (a progress bar is only drawn on one).
bool IsTerminal(std::FILE* stream);

}  // namespace vandrel
