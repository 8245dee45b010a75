#include "app/send_job.h"

#include <gtest/gtest.h>

#include "app/object_title.h"
#include "runtime/app_state.h"
#include "tests/app/send_fixture.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

// The handset's title is 8-bit text: what lies outside space to 255 is sent as "?".
TEST(PrepareSend, TitleCharactersOutsideTheHandsetsRangeBecomeQuestionMarks) {
  AppState state;
  const std::vector<std::uint16_t> title{'A', 0x1F, 0xFF, 0x100, 0x20AC, ' ', 0x263A};
  std::ranges::copy(title, state.titleChars.begin());
  const ObjectKindRow row;
  EXPECT_TRUE(PrepareSend(state, title.size() - 1, row, "C:\\a.png"));
  EXPECT_EQ(std::vector<std::uint16_t>(state.titleChars.begin(), state.titleChars.begin() + 7),
            (std::vector<std::uint16_t>{'A', '?', 0xFF, '?', '?', ' ', 0x263A}));
  EXPECT_EQ(state.titleLength, 6);
  EXPECT_EQ(state.currentObjectType, &row);
  EXPECT_FALSE(PrepareSend(state, 0, row, "")) << "no file to send";
}

// A front end with a progress dialog, noting on the send's clock when the feed stopped, when the
// dialog was closed and when the send returned.
class DialogFrontEnd : public SendFrontEnd {
 public:
  explicit DialogFrontEnd(Clock& clock) : clock_(clock) {}
  void StartProgressFeed(ProgressDisplay&) override {}
  void StopProgressFeed() override { feedStoppedAt = clock_.NowMs(); }
  void CloseProgress() override { closedAt = clock_.NowMs(); }
  bool ShowsProgressDialog() const override { return true; }

  std::uint64_t feedStoppedAt = 0;
  std::uint64_t closedAt = 0;

 private:
  Clock& clock_;
};

class SendJobTest : public SendFixture {
 protected:
  // Sends a small vCard as the window does; returns the time the send took after its dialog closed.
  std::uint64_t SendCard() {
    const std::string path =
        folder_.Write("me.vcf", std::string("BEGIN:VCARD\r\nEND:VCARD\r\n")).string();
    row_.kind = kVCard;
    MediaFile file;
    if (!PrepareSend(state_, 0, row_, path) || !LoadObjectFile(state_, file, ui_, log_, false))
      return 0;
    RunSendJob(SendWith(frontEnd_), file, "me.vcf");
    return clock_.NowMs() - frontEnd_.closedAt;
  }

  ScratchFolder folder_;
  ObjectKindRow row_;
  DialogFrontEnd frontEnd_{clock_};
};

// A sent object's dialog shows the full bar a moment, and the port waits for it to close; a send
// the user stopped closes its dialog and ends at once.
TEST_F(SendJobTest, OnlyASendThatWentThroughPausesAroundItsDialog) {
  EXPECT_EQ(SendCard(), 100u);
  EXPECT_EQ(frontEnd_.closedAt - frontEnd_.feedStoppedAt, 100u);

  handset_.objectAnswer = [this](const std::string&) {
    stop_.Request();
    return std::string();
  };
  EXPECT_EQ(SendCard(), 0u);
  EXPECT_EQ(frontEnd_.closedAt, frontEnd_.feedStoppedAt);
}

TEST(ObjectTitle, DropsControlCharactersAndKeepsTheFirstTwentyBytes) {
  const std::string title = CleanObjectTitle("My\x01Holiday\tPicture With A Long Name");
  EXPECT_EQ(title, "MyHolidayPicture Wit");
  EXPECT_EQ(CleanObjectTitle("Réveil été – ♫ sonnerie longue"), "R\xE9veil \xE9t\xE9 \x96 ? sonne");
}

TEST(ObjectTitle, StoresTheCodePageBytesOneCharacterPerElement) {
  AppState state;
  state.titleChars.fill(0x55);
  const std::string title = CleanObjectTitle("Don’t stop");
  EXPECT_EQ(title, "Don\x92t stop");
  StoreObjectTitle(title, state);
  EXPECT_EQ(state.titleChars[3], 0x92);
  EXPECT_EQ(state.titleChars[9], 'p');
  EXPECT_EQ(state.titleChars[10], 0x55);
  EXPECT_EQ(ObjectTitleText(title), "Don’t stop");
}

}  // namespace
}  // namespace vandrel
