#include "app/settings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/registry_tree.h"
#include "runtime/app_state.h"
#include "tests/app/installed_store.h"

namespace vandrel {
namespace {

// Every stored choice, to compare what was saved with what is loaded back.
auto Stored(const AppSettings& s) {
  return std::tie(s.port, s.language, s.combo, s.folders, s.lineSpeeds, s.patient, s.fitToHandset,
                  s.pictureSize);
}

class SettingsTest : public testing::Test {
 protected:
  InstalledStore store_;
};

TEST_F(SettingsTest, FirstRunGivesDefaultsAndSavingMakesThemStored) {
  AppSettings settings;
  LoadSettings(settings);
  EXPECT_EQ(settings.port, 1);
  EXPECT_EQ(settings.language, 0);
  EXPECT_EQ(settings.combo, 1);
  EXPECT_EQ(settings.lineSpeeds, LineSpeeds{});
  EXPECT_EQ(settings.folders[kAnimation], settings.folders[kGraphic]);
  EXPECT_EQ(settings.folders[kGraphic], settings.defaultFolders[kGraphic]);
  EXPECT_EQ(settings.fitToHandset, kFitNever);
  EXPECT_EQ(settings.pictureSize, kPictureAsItIs);

  settings.port = 5;
  settings.language = 1;
  settings.combo = 4;
  settings.folders[kVCard] = "C:\\Cartes";
  settings.lineSpeeds.speeds[0] = 9600;
  settings.fitToHandset = kFitAsk;
  settings.pictureSize = static_cast<std::int32_t>(kHandsetScreens.size());
  settings.patient = true;
  SaveSettings(settings);
  AppSettings reloaded;
  LoadSettings(reloaded);
  EXPECT_EQ(Stored(reloaded), Stored(settings));
}

TEST_F(SettingsTest, UnusableStoredValuesFallBackOrAreCut) {
  store_.StoreSetting("Language", RegistryValue::Dword(7));
  store_.StoreSetting("Combo", RegistryValue::Dword(0xFFFFFFFF));
  store_.StoreSetting("Port", RegistryValue::Dword(100000));
  store_.StoreSetting("Path_Graphics", RegistryValue::String("D:\\Images\\\\"));
  store_.StoreSetting("Path_Sounds", RegistryValue::String(std::string(5000, 'a') + "é"));
  store_.StoreSetting("Path_VCards", RegistryValue::Dword(3));
  AppSettings settings;
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 0);
  EXPECT_EQ(settings.combo, 1);
  EXPECT_EQ(settings.port, 1);
  EXPECT_EQ(settings.folders[kGraphic], "D:\\Images\\");
  EXPECT_EQ(settings.folders[kSound].size(), kMaxStoredPathBytes);
  EXPECT_EQ(settings.folders[kVCard], settings.defaultFolders[kVCard]);

  // fitting choices one past the last, -1 or not a number: off, and pictures as they are
  for (const auto& [fit, size] : {std::pair{3u, 9u}, std::pair{0xFFFFFFFFu, 0xFFFFFFFFu}}) {
    store_.StoreSetting("FitToHandset", RegistryValue::Dword(fit));
    store_.StoreSetting("PictureSize", RegistryValue::Dword(size));
    LoadSettings(settings);
    EXPECT_EQ(settings.fitToHandset, kFitNever) << fit;
    EXPECT_EQ(settings.pictureSize, kPictureAsItIs) << size;
  }
  store_.StoreSetting("FitToHandset", RegistryValue::String("2"));
  LoadSettings(settings);
  EXPECT_EQ(settings.fitToHandset, kFitNever);
}

}  // namespace
}  // namespace vandrel
