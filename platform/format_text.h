#pragma once

#include <string>

namespace vandrel {

// printf-style formatting into a string, for the catalogue's templates ("Unavailable port %d").
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace vandrel
