#include "app/handset_fit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "objects/event_table.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

// A 24-bit BMP of `width` x `height` grey pixels.
std::vector<std::uint8_t> GreyBmp(int width, int height) {
  const std::uint32_t row = static_cast<std::uint32_t>(width * 3 + 3) / 4 * 4;
  const std::uint32_t size = 54 + row * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> bmp(size, 0x80);
  const auto put = [&bmp](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      bmp[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(2, size, 4);
  put(6, 0, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(30, 0, 4);
  put(34, row * static_cast<std::uint32_t>(height), 4);
  put(38, 2835, 4);
  put(42, 2835, 4);
  put(46, 0, 4);
  put(50, 0, 4);
  return bmp;
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
