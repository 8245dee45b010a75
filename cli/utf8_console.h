#pragma once

#include <string>
#include <vector>

namespace vandrel {

// The command-line arguments as UTF-8, whatever characters the file names hold. On Windows they
// are taken from the UTF-16 command line, since `argv` there is in the ANSI code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes a console show the program's UTF-8 output as such.
void UseUtf8Console();

}  // namespace vandrel
