#include "app/chosen_file.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

struct SplitCase {
  const char* path;
  const char* folder;
  const char* name;
  const char* title;
  const char* extension;
};

class ChosenFileSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(ChosenFileSplit, GivesFolderNameTitleAndExtension) {
  const SplitCase& c = GetParam();
  const ChosenFile file = SplitChosenFile(c.path);
  EXPECT_EQ(file.path, c.path);
  EXPECT_EQ(file.folder, c.folder);
  EXPECT_EQ(file.name, c.name);
  EXPECT_EQ(file.title, c.title);
  EXPECT_EQ(file.extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChosenFileSplit,
    testing::Values(SplitCase{"C:\\Pics\\Sea.View.JPG", "C:\\Pics", "Sea.View.JPG", "Sea.View",
                              "JPG"},
                    SplitCase{"/home/u/ring.wav", "/home/u", "ring.wav", "ring", "wav"},
                    SplitCase{"C:\\Docs\\README", "C:\\Docs", "README", "README", ""},
                    SplitCase{"C:\\Docs\\card.", "C:\\Docs", "card.", "card", ""},
                    SplitCase{"card.vcf", "", "card.vcf", "card", "vcf"}));

}  // namespace
}  // namespace vandrel
