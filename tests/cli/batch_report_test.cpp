#include "cli/batch_report.h"

#include <gtest/gtest.h>

#include "objects/media_file.h"

namespace vandrel {
namespace {

// The download line names the port and the speed the handset was found at, as the send job
// reports them, and a quiet run leaves it out.
TEST(BatchReport, DownloadLineNamesThePortAndSpeedTheHandsetWasFoundAt) {
  RecordingUserInterface console;
  AppState state;
  state.filePath = "me.vcf";
  const MediaFile file;
  BatchReport report(console, state, false);
  report.ObjectLoaded(file);
  report.HandsetFound(7, 57600);
  ASSERT_EQ(console.boxes.size(), 1u);
  EXPECT_NE(console.boxes[0].text.find(", to COM7 ("), std::string::npos) << console.boxes[0].text;
  EXPECT_TRUE(console.boxes[0].text.ends_with(") at 57600 bit/s")) << console.boxes[0].text;

  BatchReport quiet(console, state, true);
  quiet.ObjectLoaded(file);
  quiet.HandsetFound(7, 57600);
  EXPECT_EQ(console.boxes.size(), 1u);
}

}  // namespace
}  // namespace vandrel
