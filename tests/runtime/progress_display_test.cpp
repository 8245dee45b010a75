#include "runtime/progress_display.h"

#include <gtest/gtest.h>

#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"

namespace vandrel {
namespace {

class ProgressTest : public testing::Test {
 protected:
  void TearDown() override { SelectTextLanguage(kEnglish); }
  RecordingUserInterface ui_;
  ProgressDisplay progress_{ui_};
  std::uint64_t sent_ = 0;
  ProgressDisplay::SentBytes Counted() {
    return [this] { return sent_; };
  }
};

TEST_F(ProgressTest, UpdateShowsEachNewPercentOnceAndOnlyWhileCounting) {
  SelectTextLanguage(kFrench);
  sent_ = 1500;
  progress_.Begin("a.bmp", TXT_IN_PROGRESS, 3000);
  progress_.Update();  // nothing counts yet
  progress_.Begin("a.bmp", TXT_IN_PROGRESS, 3000, Counted());
  progress_.Update();
  progress_.Update();
  sent_ = 3001;  // the command lines make the count pass the object's size
  progress_.Update();
  sent_ = 3050;
  progress_.Update();
  progress_.Finish();
  sent_ = 0;
  progress_.Update();  // the phase is over
  EXPECT_EQ(ui_.percents, (std::vector<std::uint32_t>{0, 0, 50, 100, 100}));
  EXPECT_EQ(ui_.progressLines[2], "Téléchargement: 50 % de 2.9 Ko");
  EXPECT_EQ(ui_.progressLines[3], "Téléchargement: 100 % de 2.9 Ko");
  EXPECT_EQ(ui_.finishCount, 1);
}

TEST_F(ProgressTest, LargeObjectsDoNotOverflowThePercentage) {
  progress_.Begin("big.bin", TXT_IN_PROGRESS, 100'000'000, Counted());
  sent_ = 75'000'000;
  progress_.Update();
  EXPECT_EQ(ui_.percents.back(), 75u);
}

}  // namespace
}  // namespace vandrel
