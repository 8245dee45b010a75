#pragma once

#include <string>

namespace CLI {
class App;
}

namespace vandrel {

// `convert IN OUT`: writes the handset ADPCM rendition of the WAV sound IN to OUT, or says on
// stderr why IN is not converted and writes nothing. Returns the exit status.
int RunConvert(const std::string& input, const std::string& output);

// Adds `convert` to the command line; running it leaves its exit status in `exitStatus`.
void AddConvertCommand(CLI::App& app, int& exitStatus);

}  // namespace vandrel
