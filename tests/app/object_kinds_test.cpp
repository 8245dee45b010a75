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

TEST_F(ObjectKindsTest, KindOutsideTheRowsGivesTheGraphicRow) {
  const ObjectKindList kinds;
  EXPECT_FALSE(IsObjectKind(0));
  EXPECT_FALSE(IsObjectKind(5));
  EXPECT_EQ(&kinds.Row(0), &kinds.Row(kGraphic));
  EXPECT_EQ(&kinds.Row(7), &kinds.Row(kGraphic));
}

TEST_F(ObjectKindsTest, RenameFollowsTheLanguageAndKeepsFormats) {
  ObjectKindList kinds;
  const std::string formats = kinds.Row(kSound).formats;
  SelectTextLanguage(kFrench);
  kinds.Rename();
  EXPECT_EQ(kinds.Row(kVCard).name, GetText(TXT_KIND_VCARDS));
  EXPECT_EQ(kinds.Row(kVCard).filter, GetText(TXT_KIND_VCARDS) + " (*.vcf)|*.vcf|");
  EXPECT_EQ(kinds.Row(kSound).formats, formats);
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

INSTANTIATE_TEST_SUITE_P(Kinds, ExtensionCheck,
                         testing::Values(ExtensionCase{kGraphic, "JPG", true},
                                         ExtensionCase{kGraphic, "jp", true},
                                         ExtensionCase{kGraphic, "", true},
                                         ExtensionCase{kGraphic, "wav", false},
                                         ExtensionCase{kSound, "Wav", true}));

}  // namespace
}  // namespace vandrel
