#include "app/start_up.h"

#include <gtest/gtest.h>

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"
#include "tests/app/installed_store.h"

namespace vandrel {
namespace {

class StartUpTest : public testing::Test {
 protected:
  void SetUp() override {
    store_.StoreSetting("Port", kUnlistedPort);
    store_.StoreSetting("Language", kFrench);
  }
  void TearDown() override {
    DestroyEventTable();
    SelectTextLanguage(kEnglish);
  }
  static constexpr int kUnlistedPort = 250;
  InstalledStore store_;
};

// An adapter unplugged since its port was stored: the batch talks to that port or to none.
TEST_F(StartUpTest, KeepsTheStoredPortEvenWhenItIsNotListed) {
  store_.StoreSetting("Patient", 1);
  StartUp start(std::nullopt);
  EXPECT_FALSE(start.IsListed(kUnlistedPort));
  ASSERT_EQ(start.state.portSelection, &start.selection);
  EXPECT_EQ(start.selection.port, kUnlistedPort);
  EXPECT_TRUE(start.state.patientWaits) << "the stored patience comes with the start";
}

TEST_F(StartUpTest, AppliesTheStoredLanguageUnlessTheRunChoosesOne) {
  {
    StartUp start(std::nullopt);
    EXPECT_EQ(FormatEvent(Event{kEventFileOpenFailed, 0, 0, "a.png", ""}),
              "Erreur 0x28 : Ouverture du fichier a.png impossible");
  }
  StartUp start(kEnglish);
  EXPECT_EQ(FormatEvent(Event{kEventFileOpenFailed, 0, 0, "a.png", ""}),
            "Error 0x28 : Failed opening file a.png");
  EXPECT_EQ(start.settings.language, kFrench);
}

}  // namespace
}  // namespace vandrel
