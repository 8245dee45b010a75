#include "runtime/progress_display.h"

#include <gtest/gtest.h>

#include "platform/user_interface.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {
namespace {

class ProgressTest : public testing::Test {
 protected:
  void SetUp() override { InstallUserInterface(&ui_); }
  void TearDown() override {
    InstallUserInterface(nullptr);
    ResetAppState();
  }
  RecordingUserInterface ui_;
};

TEST_F(ProgressTest, BeginShowsCaptionPhaseAndSizeInKb) {
  BeginProgress("", TXT_TRANSFER_INIT, 0);
  BeginProgress("ring.wav", TXT_LOADING_PCM, 3000);
  EXPECT_EQ(ui_.progressCaptions, (std::vector<std::string>{"Send file ", "Send file ring.wav"}));
  EXPECT_EQ(ui_.progressPhases[1], " Loading with PCM format in progress...");
  EXPECT_EQ(ui_.progressLines,
            (std::vector<std::string>{"Downloaded: 0 % of 0.0 Kb", "Downloaded: 0 % of 2.9 Kb"}));
}

TEST_F(ProgressTest, UpdateShowsEachNewPercentOnceAndOnlyWhileSending) {
  AppState& state = TheAppState();
  TheAppState().language = kFrench;
  BeginProgress("a.bmp", TXT_IN_PROGRESS, 3000);
  state.bytesSent = 1500;
  UpdateProgress();  // not sending yet
  state.sending = true;
  UpdateProgress();
  UpdateProgress();
  state.bytesSent = 3001;  // the command lines make the count pass the object's size
  UpdateProgress();
  state.bytesSent = 3050;
  UpdateProgress();
  FinishProgress();
  EXPECT_EQ(ui_.percents, (std::vector<std::uint32_t>{0, 50, 100, 100}));
  EXPECT_EQ(ui_.progressLines[2], "Téléchargement: 100 % de 2.9 Ko");
  EXPECT_EQ(ui_.progressLines[1], "Téléchargement: 50 % de 2.9 Ko");
  EXPECT_EQ(ui_.finishCount, 1);
}

TEST_F(ProgressTest, LargeObjectsDoNotOverflowThePercentage) {
  BeginProgress("big.bin", TXT_IN_PROGRESS, 100'000'000);
  TheAppState().sending = true;
  TheAppState().bytesSent = 75'000'000;
  UpdateProgress();
  EXPECT_EQ(ui_.percents.back(), 75u);
}

}  // namespace
}  // namespace vandrel
