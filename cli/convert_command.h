#pragma once

#include <string>

#include "platform/user_interface.h"
#include "sound/sound_preparation.h"

namespace CLI {
class App;
}

namespace vandrel {

struct CommandSeams;

// `convert IN OUT`: writes the handset ADPCM rendition of the WAV sound IN to OUT, or says on
// stderr why IN is not converted and writes nothing. A sound the converter does not take as it
// is, or one to be trimmed or normalised, goes through `preparation` first. Returns the exit
// status.
int RunConvert(const std::string& input, const std::string& output, UserInterface& console,
               const SoundPreparation& preparation = {});

// Adds `convert` to the command line; running it leaves its exit status in `exitStatus`.
void AddConvertCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus);

}  // namespace vandrel
