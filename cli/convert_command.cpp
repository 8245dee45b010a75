#include "cli/convert_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "cli/command_session.h"
#include "cli/exit_status.h"
#include "cli/file_buffer.h"
#include "cli/file_replacement.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "platform/utf8_path.h"
#include "sound/sound_converter.h"
#include "sound/sound_preparation.h"
#include "sound/wav_reader.h"

namespace vandrel {

namespace {

constexpr const char* kAcceptedKinds =
    "4000–192000 Hz, any number of channels, PCM 8/16/24/32-bit, 32-bit float, A-law, µ-law or "
    "mono IMA ADPCM";

// Why a conversion that was tried gives nothing to write, in the user's words.
std::string RefusalReason(ConversionResult result) {
  switch (result) {
    case CONV_BAD_FORMAT:
      return FormatText("it is not a WAV file of the accepted kind (%s)", kAcceptedKinds);
    case CONV_READ_ERROR:
      return "it is shorter than " + std::to_string(kCheckWindowBytes) + " bytes";
    case CONV_NO_MEMORY:
      return "there is not enough memory to convert it";
    default:
      return "the conversion would not be smaller";
  }
}

bool ReadWholeFile(const std::string& path, FileBuffer& buffer, std::string& problem) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(Utf8Path(path), error);
  if (error) {
    problem = error.message();
    return false;
  }
  if (!buffer.Allocate(size)) {
    problem = "there is not enough memory to hold it";
    return false;
  }
  std::filebuf file;
  const auto wanted = static_cast<std::streamsize>(size);
  if (file.open(Utf8Path(path), std::ios::in | std::ios::binary) == nullptr ||
      file.sgetn(reinterpret_cast<char*>(buffer.Bytes().data()), wanted) != wanted) {
    problem = "it could not be read to its end";
    return false;
  }
  return true;
}

// The converter takes a sound it accepts as it is, so that its output stays what it always was;
// any other layout, and any sound the user asked to trim or normalise, is prepared first.
bool NeedsPreparation(std::span<const std::uint8_t> source, const SoundPreparation& preparation) {
  return preparation.maxSeconds > 0 || preparation.normalise ||
         CheckSoundFile(source) == CONV_BAD_FORMAT;
}

ConversionResult ConvertInto(std::span<const std::uint8_t> sound, FileBuffer& outputBuffer,
                             std::size_t& length) {
  return outputBuffer.Allocate(sound.size()) ? ConvertSound(sound, outputBuffer.Bytes(), length)
                                             : CONV_NO_MEMORY;
}

}  // namespace

int RunConvert(const std::string& input, const std::string& output, UserInterface& console,
               const SoundPreparation& preparation) {
  std::string problem;
  FileBuffer inputBuffer;
  if (!ReadWholeFile(input, inputBuffer, problem)) {
    ShowError(console,
              FormatText("vandrel-cli: cannot read %s: %s", input.c_str(), problem.c_str()));
    return kExitFailed;
  }
  const std::span<const std::uint8_t> source = inputBuffer.Bytes();

  FileBuffer outputBuffer;
  std::size_t length = 0;
  const bool prepares = NeedsPreparation(source, preparation);
  std::optional<std::vector<std::uint8_t>> prepared;
  if (prepares) prepared = PrepareSound(source, preparation);
  const ConversionResult result = !prepares  ? ConvertInto(source, outputBuffer, length)
                                  : prepared ? ConvertInto(*prepared, outputBuffer, length)
                                             : CONV_BAD_FORMAT;
  const std::span<const std::uint8_t> converted = outputBuffer.Bytes().first(length);
  if (result != CONV_OK || converted.size() >= source.size()) {
    // A sound in the handset format comes back as it went in.
    const bool unchanged =
        result == CONV_OK && !prepares &&
        std::equal(source.begin(), source.end(), converted.begin(), converted.end());
    const std::string reason = unchanged
                                   ? "it is already in the handset format"
                                   : RefusalReason(result == CONV_OK ? CONV_OUTPUT_FULL : result);
    ShowError(console, FormatText("vandrel-cli: %s is not converted: %s. Nothing was written.",
                                  input.c_str(), reason.c_str()));
    return kExitFailed;
  }

  if (!ReplaceFileWith(Utf8Path(output), converted, problem)) {
    ShowError(console,
              FormatText("vandrel-cli: cannot write %s: %s", output.c_str(), problem.c_str()));
    return kExitFailed;
  }
  ShowNotice(console, FormatText("%s: %s bytes of handset ADPCM from the %s bytes of %s%s",
                                 output.c_str(), std::to_string(converted.size()).c_str(),
                                 std::to_string(source.size()).c_str(), input.c_str(),
                                 prepares ? ", made 8000 Hz mono first" : ""));
  return kExitDone;
}

void AddConvertCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus) {
  struct Paths {
    std::string input;
    std::string output;
    SoundPreparation preparation;
  };
  const auto paths = std::make_shared<Paths>();
  CLI::App* command =
      app.add_subcommand("convert", "Write the handset's 4-bit ADPCM rendition of a WAV sound");
  command->add_option("IN", paths->input, "the sound to convert")->required();
  command->add_option("OUT", paths->output, "where to write the handset ADPCM sound")->required();
  command
      ->add_option("--trim", paths->preparation.maxSeconds,
                   "keep at most the first SECONDS of the sound")
      ->option_text("SECONDS")
      ->check(CLI::Validator(
          [](const std::string& text) {
            char* end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            return end != text.c_str() && *end == '\0' && seconds > 0
                       ? std::string()
                       : "a number of seconds above 0 is needed, not " + text;
          },
          "SECONDS"));
  command->add_flag("--normalise", paths->preparation.normalise,
                    "scale the sound so that its loudest sample reaches full scale");
  command->footer(FormatText(
      "IN must be a WAV sound of the accepted kind, at least %s bytes long:\n"
      "%s.\n"
      "A sound that is not mono at about 8000 Hz, or one given --trim or --normalise, is\n"
      "mixed down to mono and resampled to 8000 Hz before it is converted.\n"
      "OUT is written only when the rendition is smaller than IN; a sound already in the\n"
      "handset format is left as it is. The rendition is written beside OUT and takes its\n"
      "place only once complete, so OUT may be IN, and a failed write leaves OUT as it was.\n\n"
      "Exit status: %d OUT written; %d IN not converted or a file could not be read or\n"
      "written, nothing written; %d a usage error.",
      std::to_string(kCheckWindowBytes).c_str(), kAcceptedKinds, kExitDone, kExitFailed,
      kExitUsage));
  command->callback([paths, seams, &exitStatus] {
    exitStatus = RunConvert(paths->input, paths->output, seams.console, paths->preparation);
  });
}

}  // namespace vandrel
