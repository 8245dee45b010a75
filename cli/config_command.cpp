#include "cli/config_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command_session.h"
#include "cli/exit_status.h"
#include "cli/option_words.h"
#include "cli/settings_location.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

constexpr const char* kFitWords[] = {"never", "ask", "always"};

std::string PictureSizeText(std::int32_t pictureSize) {
  if (pictureSize == kPictureAsItIs) return "0 (as it is)";
  const PictureSize& screen = kHandsetScreens[static_cast<std::size_t>(pictureSize) - 1];
  return FormatText("%d (%dx%d)", pictureSize, screen.width, screen.height);
}

void ShowSettings(const StartUp& start, UserInterface& console) {
  const auto Show = [&console](const char* key, const std::string& value) {
    ShowPlain(console, FormatText("%-16s %s", key, value.c_str()));
  };
  const AppSettings& settings = start.settings;
  ShowPlain(console, "Settings: " + SettingsLocation());
  std::string port = FormatText("%d (COM%d, %s", settings.port, settings.port,
                                SerialDevicePath(settings.port).c_str());
  Show(kPortSetting.key, port + (start.IsListed(settings.port) ? ")" : "; not listed now)"));
  Show(kLanguageSetting.key, FormatText("%d (%s)", settings.language,
                                        WordOf(LanguageWords(), settings.language).c_str()));
  Show(kComboSetting.key,
       FormatText("%d (%s)", settings.combo, WordOf(KindWords(), settings.combo).c_str()));
  Show(kPatientSetting.key, FormatText("%d (%s)", settings.patient ? 1 : 0,
                                       WordOf(SwitchWords(), settings.patient ? 1 : 0).c_str()));
  Show(kFitSetting.key,
       FormatText("%d (%s)", settings.fitToHandset, kFitWords[settings.fitToHandset]));
  Show(kPictureSizeSetting.key, PictureSizeText(settings.pictureSize));
  for (const FolderSetting& folder : kFolderSettings)
    Show(folder.key, settings.folders[folder.kind]);
  std::string speeds;
  for (const std::int32_t speed : settings.lineSpeeds.speeds)
    speeds += FormatText(speeds.empty() ? "%d" : " %d", static_cast<int>(speed));
  Show("Vitesse 1..8", speeds);
}

}  // namespace

int RunConfig(const ConfigChanges& changes, UserInterface& console) {
  CommandSession session(std::nullopt);
  const std::pair<const NumberSetting&, std::optional<int>> wanted[] = {
      {kPortSetting, changes.port},
      {kLanguageSetting, changes.language},
      {kComboSetting, changes.kind},
      {kPatientSetting, changes.patient}};
  for (const auto& [setting, value] : wanted) {
    if (value && !SaveNumberSetting(setting, *value)) {
      ShowError(console, FormatText("vandrel-cli: cannot store %s in %s", setting.key,
                                    SettingsLocation().c_str()));
      return kExitFailed;
    }
  }
  if (changes.port || changes.language || changes.kind || changes.patient)
    LoadSettings(session.start().settings);
  ShowSettings(session.start(), console);
  return kExitDone;
}

void AddConfigCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus) {
  auto changes = std::make_shared<ConfigChanges>();
  CLI::App* config = app.add_subcommand(
      "config", "Show the stored settings; store the port, language and object kind");
  config->add_option("--port", changes->port, "COM port number that send uses")
      ->check(CLI::Range(1, kMaxPortNumber))
      ->option_text("N");
  AddWordOption(*config, "--lang", changes->language, LanguageWords(), "message language");
  AddWordOption(*config, "--kind", changes->kind, KindWords(),
                "object kind the window selects at start");
  AddWordOption(*config, "--patient", changes->patient, SwitchWords(),
                "wait the full fixed pauses between a command and its answer, and detect the "
                "handset for every file, for a handset that needs them");
  config->footer(
      "The window and vandrel-cli share these settings (Settings > Port and Language, the\n"
      "object type). Without options nothing is written.\n"
      "Exit status: 0 done, 1 a setting could not be stored, 2 a usage error.");
  config->callback(
      [changes, seams, &exitStatus] { exitStatus = RunConfig(*changes, seams.console); });
}

}  // namespace vandrel
