#include "app/chosen_file.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vandrel {
namespace {

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
