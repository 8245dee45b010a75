#include "app/object_kinds.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/chosen_file.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {
namespace {

class ObjectKindsTest : public testing::Test {
 protected:
  void TearDown() override { SelectTextLanguage(kEnglish); }
};

TEST_F(ObjectKindsTest, KindOutsideTheRowsGivesTheGraphicRow) {
  const ObjectKindList kinds;
  EXPECT_FALSE(IsObjectKind(0));
  EXPECT_FALSE(IsObjectKind(5));
  EXPECT_EQ(&kinds.Row(0), &kinds.Row(kGraphic));
  EXPECT_EQ(&kinds.Row(7), &kinds.Row(kGraphic));
}

// The name, the filter and the patterns between its bars follow the language; the formats stay.
TEST_F(ObjectKindsTest, RenameFollowsTheLanguageAndKeepsFormats) {
  ObjectKindList kinds;
  const std::string formats = kinds.Row(kSound).formats;
  SelectTextLanguage(kFrench);
  kinds.Rename();
  EXPECT_EQ(kinds.Row(kVCard).name, GetText(TXT_KIND_VCARDS));
  EXPECT_EQ(kinds.Row(kVCard).filter, GetText(TXT_KIND_VCARDS) + " (*.vcf)|*.vcf|");
  EXPECT_EQ(kinds.Row(kSound).formats, formats);
  EXPECT_EQ(FilterPatterns(kinds.Row(kVCard)), "*.vcf");
  ObjectKindRow broken;
  broken.filter = "no bars";
  EXPECT_EQ(FilterPatterns(broken), "");
}

TEST_F(ObjectKindsTest, ExtensionIsLowerCasedAndLookedForAsASubstringOfTheFormats) {
  const ObjectKindList kinds;
  EXPECT_TRUE(FilterAcceptsExtension(kinds.Row(kGraphic), "JPG"));
  EXPECT_TRUE(FilterAcceptsExtension(kinds.Row(kGraphic), "jp"));
  EXPECT_TRUE(FilterAcceptsExtension(kinds.Row(kGraphic), ""));
  EXPECT_FALSE(FilterAcceptsExtension(kinds.Row(kGraphic), "wav"));
  EXPECT_TRUE(FilterAcceptsExtension(kinds.Row(kSound), "Wav"));
}

// With fitting on, the pictures' Open dialog offers WebPs too, and takes the one chosen; no other
// kind does, and neither does it with fitting off.
TEST_F(ObjectKindsTest, OpenListsWebpAmongPicturesOnlyWhenFitting) {
  const ObjectKindList kinds;
  const ObjectKindRow pictures = RowToOpen(kinds.Row(kGraphic), true);
  EXPECT_EQ(pictures.filter, kinds.Row(kGraphic).name +
                                 " (*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif,*.ems_gr;*.webp)|"
                                 "*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.ems_gr;*.webp|");
  EXPECT_TRUE(FilterAcceptsExtension(pictures, "webp"));
  EXPECT_EQ(RowToOpen(kinds.Row(kGraphic), false).filter, kinds.Row(kGraphic).filter);
  EXPECT_EQ(RowToOpen(kinds.Row(kAnimation), true).filter, kinds.Row(kAnimation).filter);
}

TEST(ChosenFile, SplitGivesFolderNameTitleAndExtension) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
    const char* title;
    const char* extension;
  } cases[] = {{"C:\\Pics\\Sea.View.JPG", "C:\\Pics", "Sea.View.JPG", "Sea.View", "JPG"},
               {"/home/u/ring.wav", "/home/u", "ring.wav", "ring", "wav"},
               {"C:\\Docs\\README", "C:\\Docs", "README", "README", ""},
               {"C:\\Docs\\card.", "C:\\Docs", "card.", "card", ""},
               {"card.vcf", "", "card.vcf", "card", "vcf"}};
  for (const auto& c : cases) {
    const ChosenFile file = SplitChosenFile(c.path);
    EXPECT_EQ(std::tuple(file.path, file.folder, file.name, file.title, file.extension),
              std::tuple(c.path, c.folder, c.name, c.title, c.extension));
  }
}

}  // namespace
}  // namespace vandrel
