#include "objects/object_fitting.h"

#include <gtest/gtest.h>

#include <vector>

#include "objects/event_table.h"
#include "platform/user_interface.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"
#include "tests/picture/test_pictures.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kPngFormat = 103;

class ObjectFitting : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }

  MediaFile Loaded(std::int32_t kind) {
    MediaFile file;
    EXPECT_TRUE(file.LoadAndValidate(
        folder.Write("spin.gif", test_pictures::kInterlacedGif).string(), kind, {}, ui, log));
    return file;
  }

  ScratchFolder folder;
  RecordingUserInterface ui;
  EventLog log;
};

// A wallpaper GIF goes as the PNG of its first frame, with PNG's format code; an animation keeps
// its frames, whatever the screen.
TEST_F(ObjectFitting, AGifWallpaperGoesAsPngAndAnAnimationIsNeverFitted) {
  const FitOptions options{.screen = PictureSize{2, 4}, .sound = {}};
  const std::optional<FittedObject> fitted = FitObject(Loaded(kGraphic), kGraphic, options);
  ASSERT_TRUE(fitted.has_value());
  EXPECT_EQ(fitted->file.formatCode(), kPngFormat);
  EXPECT_EQ(fitted->bytesFitted, fitted->file.data().size());
  EXPECT_EQ(Bytes(fitted->file.data().begin(), fitted->file.data().begin() + 4),
            Bytes({0x89, 'P', 'N', 'G'}));
  EXPECT_FALSE(FitObject(Loaded(kAnimation), kAnimation, options).has_value());
}

TEST(FittedObject, IsMuchSmallerFromFourTimesFewerBytes) {
  EXPECT_TRUE((FittedObject{.file = {}, .bytesAsItIs = 400, .bytesFitted = 100, .pictureSize = {}})
                  .MuchSmaller());
  EXPECT_FALSE((FittedObject{.file = {}, .bytesAsItIs = 399, .bytesFitted = 100, .pictureSize = {}})
                   .MuchSmaller());
}

}  // namespace
}  // namespace vandrel
