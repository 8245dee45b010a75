#include "app/handset_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "objects/event_table.h"
#include "picture/bmp_encoding.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

// A 24-bit BMP of `width` x `height` grey pixels.
std::vector<std::uint8_t> GreyBmp(int width, int height) {
  std::optional<RasterImage> image = AllocateRasterImage(width, height, 3);
  std::ranges::fill(image->Bytes(), 0x80);
  return EncodeBmp(*image).value();
}

// The question a wallpaper raises names the size it takes on the handset's screen, and times
// both versions at the speed it is given: the one the handset was last reached at.
TEST(HandsetFit, AskingAboutAPictureNamesItsSizeOnTheScreen) {
  const ScratchFolder folder;
  const std::string path = folder.Write("Beach.bmp", GreyBmp(640, 480)).string();
  RecordingUserInterface ui;
  MediaFile file;
  const std::vector<std::uint16_t> title{'B'};
  EventLog log;
  ASSERT_TRUE(file.LoadAndValidate(path, kGraphic, title, ui, log));
  ObjectKindRow row;
  row.kind = kGraphic;
  AppState state;
  state.currentObjectType = &row;
  FitRequest request;
  request.mode = FitMode::kAsk;
  request.options.screen = PictureSize{128, 160};
  ui.answer = false;

  FitForHandset(file, state, "beach.bmp", request, 9600, ui, log);
  ASSERT_EQ(ui.questions.size(), 1u);
  const std::string& question = ui.questions[0];
  EXPECT_NE(question.find("As it is: 921654 bytes, 16 min 1 s at 9600 bit/s.\n"), std::string::npos)
      << question;
  EXPECT_NE(question.find("For the handset: 128 \xC3\x97 96 pixels, "), std::string::npos)
      << question;
  EXPECT_EQ(file.data().size(), 921654u) << "No keeps the file as it is";
  DestroyEventTable();
}

// A picture the handset does not take loads in the window when fitting is Always or Ask and a
// screen is chosen; a batch, with no one to ask, loads one only with Always.
TEST(HandsetFit, APictureThatGoesOnlyFittedLoadsOnlyWhenItWillBeFitted) {
  AppSettings settings;
  settings.pictureSize = kPictureAsItIs + 1;
  for (const std::int32_t fit : {kFitAlways, kFitAsk}) {
    settings.fitToHandset = fit;
    EXPECT_TRUE(FitRequestOf(settings, true).FitsPictures()) << fit;
    EXPECT_EQ(FitRequestOf(settings, false).FitsPictures(), fit == kFitAlways) << fit;
  }
  settings.pictureSize = kPictureAsItIs;
  EXPECT_FALSE(FitRequestOf(settings, true).FitsPictures());
  settings.fitToHandset = kFitNever;
  settings.pictureSize = kPictureAsItIs + 1;
  EXPECT_FALSE(FitRequestOf(settings, true).FitsPictures());
}

}  // namespace
}  // namespace vandrel
