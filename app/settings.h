#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "handset/line_speeds.h"
#include "picture/picture_fitting.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

// Where the settings live in the current user's store; the window and the command line share it.
inline constexpr const char* kSettingsKey = "Software\\Kesta\\vandrel\\Settings";
// Stored folder paths longer than this are cut rather than trusted.
inline constexpr std::size_t kMaxStoredPathBytes = 999;

// Whether a sound or picture that can be made for the handset is sent so ("FitToHandset").
enum FitToHandset : std::int32_t { kFitNever = 0, kFitAsk = 1, kFitAlways = 2 };

// The common handset screens a picture can be fitted to. The stored "PictureSize" is a position
// in this list from 1, or kPictureAsItIs.
inline constexpr std::array<PictureSize, 8> kHandsetScreens{{
    {96, 65},
    {101, 80},
    {128, 128},
    {128, 160},
    {176, 144},
    {176, 208},
    {176, 220},
    {240, 320},
}};
inline constexpr std::int32_t kPictureAsItIs = 0;

// A number the settings keep: its key in the store, and the value it takes when it is missing or
// outside [lowest, highest].
struct NumberSetting {
  const char* key;
  std::int32_t fallback;
  std::int32_t lowest;
  std::int32_t highest;

  std::int32_t Checked(std::int32_t stored) const {
    return stored < lowest || stored > highest ? fallback : stored;
  }
};

// The numbers kept, each with its default and range; the window and `config` store them by these.
inline constexpr NumberSetting kPortSetting{
    .key = "Port", .fallback = 1, .lowest = 0, .highest = 256};
inline constexpr NumberSetting kLanguageSetting{
    .key = "Language", .fallback = kEnglish, .lowest = kEnglish, .highest = kFrench};
inline constexpr NumberSetting kComboSetting{
    .key = "Combo", .fallback = kGraphic, .lowest = kGraphic, .highest = kVCard};
// any number but 0 asks for patient waits
inline constexpr NumberSetting kPatientSetting{.key = "Patient",
                                               .fallback = 0,
                                               .lowest = std::numeric_limits<std::int32_t>::min(),
                                               .highest = std::numeric_limits<std::int32_t>::max()};
inline constexpr NumberSetting kFitSetting{
    .key = "FitToHandset", .fallback = kFitNever, .lowest = kFitNever, .highest = kFitAlways};
inline constexpr NumberSetting kPictureSizeSetting{
    .key = "PictureSize",
    .fallback = kPictureAsItIs,
    .lowest = kPictureAsItIs,
    .highest = static_cast<std::int32_t>(kHandsetScreens.size())};

// The folder kept for each kind, in the order they are written. The line speeds are kept as
// "Vitesse 1" to "Vitesse 8".
struct FolderSetting {
  const char* key;
  ObjectKind kind;
};
inline constexpr std::array<FolderSetting, 4> kFolderSettings{{{"Path_Sounds", kSound},
                                                               {"Path_Graphics", kGraphic},
                                                               {"Path_Animations", kAnimation},
                                                               {"Path_VCards", kVCard}}};

// The user's choices kept from one run to the next.
struct AppSettings {
  std::int32_t port = 1;
  std::int32_t language = 0;
  std::int32_t combo = 1;  // the selected object kind, 1..4
  // The last folder used and the default folder of each kind, indexed by kind (1..4).
  std::array<std::string, 5> folders;
  std::array<std::string, 5> defaultFolders;
  LineSpeeds lineSpeeds;
  // Patient waits, for a handset that needs them (see AppState::patientWaits).
  bool patient = false;
  // Files go as they are, as they always have, unless the user asks for more.
  std::int32_t fitToHandset = kFitNever;
  std::int32_t pictureSize = kPictureAsItIs;
};

// Reads every setting (missing or unusable values give their defaults). Creates the default
// folders when they are missing.
void LoadSettings(AppSettings& settings);
// Writes every setting.
void SaveSettings(const AppSettings& settings);
// Writes the line-speed list alone (the command line keeps the window's other choices).
void SaveLineSpeeds(const LineSpeeds& lineSpeeds);
// Writes one number and nothing else; false when it could not be written.
bool SaveNumberSetting(const NumberSetting& setting, std::int32_t number);

}  // namespace vandrel
