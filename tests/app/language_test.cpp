#include "app/language.h"

#include <gtest/gtest.h>

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"

namespace vandrel {
namespace {

class MenusSpy : public LanguageMenus {
 public:
  bool RenameMenus() override {
    renamedIn.push_back(GetText(TXT_MENU_FILE));
    return hasSubmenu;
  }
  void CheckLanguageItem(int language) override { checked.push_back(language); }

  bool hasSubmenu = true;
  std::vector<std::string> renamedIn;
  std::vector<int> checked;
};

class LanguageTest : public testing::Test {
 protected:
  void TearDown() override {
    DestroyEventTable();
    SelectTextLanguage(kEnglish);
  }
};

TEST_F(LanguageTest, SwitchRenamesMenusRebuildsEventsAndMovesTheMark) {
  MenusSpy menus;
  SetLanguage(kEnglish, &menus);
  SetLanguage(kFrench, &menus);
  EXPECT_EQ(TextLanguage(), kFrench);
  EXPECT_EQ(FormatEvent(Event{kEventPortUnavailable, 3, 0, "", ""}),
            "Erreur 0x01 : Port 3 indisponible");

  SetLanguage(kEnglish, &menus);
  EXPECT_EQ(FormatEvent(Event{kEventPortUnavailable, 3, 0, "", ""}),
            "Error 0x01 : Unavailable port 3");
  EXPECT_EQ(menus.renamedIn, (std::vector<std::string>{"&File", "&Fichier", "&File"}));
  EXPECT_EQ(menus.checked, (std::vector<int>{kEnglish, kFrench, kEnglish}));
}

TEST_F(LanguageTest, NoMenusOrMissingSubmenuLeaveTheMenusAlone) {
  MenusSpy menus;
  menus.hasSubmenu = false;
  SetLanguage(kFrench, &menus);
  EXPECT_EQ(menus.renamedIn.size(), 1u);
  EXPECT_TRUE(menus.checked.empty());

  SetLanguage(kEnglish, nullptr);
  EXPECT_EQ(menus.renamedIn.size(), 1u);
  EXPECT_EQ(FormatEvent(Event{kEventPortUnavailable, 2, 0, "", ""}),
            "Error 0x01 : Unavailable port 2");
}

}  // namespace
}  // namespace vandrel
