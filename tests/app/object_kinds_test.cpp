#include "app/object_kinds.h"

#include <gtest/gtest.h>

#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {
namespace {

class ObjectKindsTest : public testing::Test {
 protected:
  void TearDown() override { SelectTextLanguage(kEnglish); }
};

TEST_F(ObjectKindsTest, RowsCarryNamesFormatsAndFiltersOfTheirKind) {
  const ObjectKindList kinds;
  EXPECT_EQ(kinds.Row(kGraphic).name, "Graphic Files");
  EXPECT_EQ(kinds.Row(kGraphic).formats, "BMP,GIF,JPG,PNG,WBMP,EMS_GR");
  EXPECT_EQ(kinds.Row(kGraphic).filter,
            "Graphic Files (*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif,*.ems_gr)|"
            "*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.ems_gr|");
  EXPECT_EQ(kinds.Row(kSound).formats, "MID,WAV,AQV1,AQV2,IMY,AMR");
  EXPECT_EQ(kinds.Row(kAnimation).formats, "GIF,EMS_AN,QV1,MNG");
  EXPECT_EQ(kinds.Row(kVCard).filter, "vCards (*.vcf)|*.vcf|");
  for (int kind = kGraphic; kind <= kVCard; ++kind) {
    EXPECT_EQ(kinds.Row(kind).kind, kind);
    EXPECT_TRUE(kinds.Row(kind).enabled);
  }
}

TEST_F(ObjectKindsTest, KindOutsideTheRowsGivesTheGraphicRow) {
  const ObjectKindList kinds;
  EXPECT_FALSE(IsObjectKind(0));
  EXPECT_FALSE(IsObjectKind(5));
  EXPECT_EQ(&kinds.Row(0), &kinds.Row(kGraphic));
  EXPECT_EQ(&kinds.Row(7), &kinds.Row(kGraphic));
}

TEST_F(ObjectKindsTest, RenameFollowsTheLanguageAndKeepsFormats) {
  ObjectKindList kinds;
  SelectTextLanguage(kFrench);
  kinds.Rename();
  EXPECT_EQ(kinds.Row(kVCard).name, "Cartes de visite");
  EXPECT_EQ(kinds.Row(kVCard).filter, "Cartes de visite (*.vcf)|*.vcf|");
  EXPECT_EQ(kinds.Row(kSound).filter.rfind("Fichiers Son (*.wav;", 0), 0u);
  EXPECT_EQ(kinds.Row(kAnimation).name, "Animations");
  EXPECT_EQ(kinds.Row(kSound).formats, "MID,WAV,AQV1,AQV2,IMY,AMR");
}

TEST_F(ObjectKindsTest, PatternsAreTheFilterBetweenItsBars) {
  const ObjectKindList kinds;
  EXPECT_EQ(FilterPatterns(kinds.Row(kVCard)), "*.vcf");
  EXPECT_EQ(FilterPatterns(kinds.Row(kGraphic)), "*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.ems_gr");
  ObjectKindRow broken;
  broken.filter = "no bars";
  EXPECT_EQ(FilterPatterns(broken), "");
}

struct ExtensionCase {
  int kind;
  const char* extension;
  bool accepted;
};

class ExtensionCheck : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionCheck, ComparesTheLowerCasedExtensionAsASubstring) {
  const ObjectKindList kinds;
  const ExtensionCase& c = GetParam();
  EXPECT_EQ(FilterAcceptsExtension(kinds.Row(c.kind), c.extension), c.accepted) << c.extension;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExtensionCheck,
    testing::Values(ExtensionCase{kGraphic, "JPG", true}, ExtensionCase{kGraphic, "jp", true},
                    ExtensionCase{kGraphic, "", true}, ExtensionCase{kGraphic, "wav", false},
                    ExtensionCase{kGraphic, "ems_gr", true}, ExtensionCase{kSound, "Wav", true},
                    ExtensionCase{kSound, "gif", false}, ExtensionCase{kAnimation, "MNG", true},
                    ExtensionCase{kVCard, "vcf", true}, ExtensionCase{kVCard, "txt", false}));

}  // namespace
}  // namespace vandrel
