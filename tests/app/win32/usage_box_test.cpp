#include "app/win32/usage_box.h"

#include "gui_test_support.h"

namespace vandrel {
namespace {

using UsageBoxTest = GuiTest;

TEST_F(UsageBoxTest, HelpOptionsAskForTheUsageAndFilesDoNot) {
  for (const char* option : {"/?", "-h", "--help"}) {
    EXPECT_TRUE(AsksForUsage({option})) << option;
    EXPECT_TRUE(AsksForUsage({"ring.wav", option})) << option;
  }
  EXPECT_FALSE(AsksForUsage({}));
  EXPECT_FALSE(AsksForUsage({"ring.wav", "-help.wav", "/h"}));

  ShowUsage(ui_);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].kind, BoxKind::kPlain);
  EXPECT_NE(boxes_.boxes[0].text.find("vandrel.exe FILE..."), std::string::npos);
}

}  // namespace
}  // namespace vandrel
