// Sends through a Wine COM port to handset-sim, which with_handset_sim starts around this test.
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "app/win32/batch_host.h"
#include "app/win32/main_window.h"
#include "gui_test_support.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"
#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCardBytes = 3000;
// A card that takes a minute at 9600 bit/s: still going when the test acts on it.
constexpr std::size_t kLongCardBytes = 60000;

class SendTest : public GuiTest {
 protected:
  void SetUp() override {
    const char* port = std::getenv("VANDREL_TEST_COM_PORT");
    const char* store = std::getenv("VANDREL_TEST_HANDSET_STORE");
    if (port == nullptr || store == nullptr) GTEST_SKIP() << "run through with_handset_sim";
    GuiTest::SetUp();
    // the simulator's folder is a Linux path, which Wine shows on drive Z:
    manifest_ = fs::path("Z:" + std::string(store)) / "manifest.tsv";
    const int number = std::atoi(port);
    ListSerialPorts(registry_, {number});
    registry_.StoreSetting("Port", static_cast<std::uint32_t>(number));
  }
  // A vCard of `bytes` bytes (kCardBytes: "2.9 Kb" in the progress line).
  std::string WriteCard(const std::string& name, std::size_t bytes = kCardBytes) {
    std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Sim;Handset\r\nNOTE:";
    const std::string end = "\r\nEND:VCARD\r\n";
    card.append(bytes - card.size() - end.size(), 'x');
    card += end;
    return folder_.Write(name, card).string();
  }

  // Two seconds of 44.1 kHz sound: 176 444 bytes, which the handset version makes much smaller.
  std::string WriteSong(const std::string& name) {
    return folder_.Write(name, wav_builder::Pcm16Wav(wav_builder::SpeechLike(2 * 44100), 44100))
        .string();
  }

  // Opens `path` as a `kind` in a new window and presses Send once for each answer to a question.
  HWND SendFromTheWindow(int kind, const std::string& path,
                         std::initializer_list<bool> answers = {true}) {
    window_.emplace(ui_, dialogs_, clock_, [path](HWND, const OpenFileRequest&) { return path; });
    const HWND handle = window_->Create();
    SendDlgItemMessageW(handle, IDC_OBJECT_TYPE, CB_SETCURSEL, kind - 1, 0);
    SendMessageW(handle, WM_COMMAND, MAKEWPARAM(IDC_OBJECT_TYPE, CBN_SELCHANGE), 0);
    SendMessageW(handle, WM_COMMAND, ID_MENU_OPEN, 0);
    for (const bool answer : answers) {
      boxes_.answer = answer;
      SendMessageW(handle, WM_COMMAND, IDC_SEND_BUTTON, 0);
    }
    return handle;
  }

  // The sizes of the objects stored after the first `before`: the manifest's third column.
  std::vector<std::size_t> StoredSizes(std::size_t before) const {
    const std::vector<std::string> lines = ManifestLines();
    std::vector<std::size_t> sizes;
    for (auto line = lines.begin() + static_cast<std::ptrdiff_t>(before); line < lines.end();
         ++line)
      sizes.push_back(std::stoul(line->substr(line->find('\t', line->find('\t') + 1) + 1)));
    return sizes;
  }

  std::vector<std::string> ManifestLines() const {
    std::ifstream file(manifest_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  fs::path manifest_;
  ScratchFolder folder_;
  std::optional<MainWindow> window_;
};

TEST_F(SendTest, SendFromTheWindowEndsWithSuccessAndTheBarFull) {
  const std::size_t before = ManifestLines().size();
  const HWND handle = SendFromTheWindow(kVCard, WriteCard("Business Card.vcf"));

  ASSERT_EQ(window_->ports().count, 1);
  ASSERT_EQ(boxes_.boxes.size(), 2u) << "the notice at start, then the outcome";
  EXPECT_EQ(boxes_.boxes[1].text, "Successfull Download");
  EXPECT_EQ(ui_.finishedBars, std::vector<LRESULT>{100});
  EXPECT_EQ(ui_.finishedLines, std::vector<std::string>{"Downloaded: 100 % of 2.9 Kb"});
  ASSERT_FALSE(boxes_.progressCaptions.empty());
  EXPECT_EQ(boxes_.progressCaptions.back(), "Send file business card.vcf");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(handle, IDC_SEND_BUTTON)));
  const std::vector<std::string> manifest = ManifestLines();
  ASSERT_EQ(manifest.size(), before + 1);
  EXPECT_NE(manifest.back().find("\tBusiness Card\t3000\t"), std::string::npos) << manifest.back();
}

// Files on the command line: no window, a progress dialog per send, failures shown and skipped.
TEST_F(SendTest, BatchSendsEachFileWithItsOwnProgressDialog) {
  const std::vector<std::string> files{
      WriteCard("one.vcf"), (folder_.path() / "missing.vcf").string(), WriteCard("two.vcf")};
  const std::size_t before = ManifestLines().size();
  BatchHost batch(ui_, dialogs_, clock_);
  const BatchResult result = batch.Run(files);

  EXPECT_EQ(result.Sent(), 2);
  EXPECT_EQ(result.Failed(), 1);
  EXPECT_EQ(std::ranges::count(boxes_.boxes, std::string("Successfull Download"),
                               &RecordingUserInterface::Box::text),
            2);
  EXPECT_EQ(ui_.finishedBars, (std::vector<LRESULT>{100, 100}));
  EXPECT_EQ(boxes_.progressCaptions.back(), "Send file two.vcf (3/3)");
  EXPECT_EQ(ManifestLines().size(), before + 2);
}

// Files dropped together go to the selected port in turn; one of no known kind is only named.
TEST_F(SendTest, DroppedFilesAreSentInTurnAndSummedUpInOneBox) {
  const std::vector<std::string> files{
      WriteCard("one.vcf"), folder_.Write("notes.txt", "x").string(), WriteCard("two.vcf")};
  const std::size_t before = ManifestLines().size();
  window_.emplace(ui_, dialogs_, clock_);
  DropFiles(window_->Create(), files);

  EXPECT_EQ(ManifestLines().size(), before + 2);
  EXPECT_EQ(ui_.finishedBars, (std::vector<LRESULT>{100, 100}));
  EXPECT_EQ(boxes_.progressCaptions.back(), "Send file two.vcf (2/2)");
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_EQ(boxes_.boxes.back().text,
            "one.vcf: sent\nnotes.txt: not a kind of object the handset takes\ntwo.vcf: sent\n\n2 "
            "sent, 1 failed");
  EXPECT_TRUE(IsWindowEnabled(window_->window()));
}

// The dialog of a thread that holds the control `item`.
struct FoundDialog {
  int item = 0;
  HWND window = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
  auto& found = *reinterpret_cast<FoundDialog*>(lParam);
  if (GetDlgItem(window, found.item) == nullptr) return TRUE;
  found.window = window;
  return FALSE;
}

// Run against a handset-sim that never answers. A silent port holds the search for about 11 s;
// Cancel ends it within a second, the window answering meanwhile, and nothing is selected or said.
TEST_F(SendTest, AutoOverASilentPortCanBeCancelledAndTheWindowAnswersMeanwhile) {
  window_.emplace(ui_, dialogs_, clock_);
  const HWND window = window_->Create();
  const DWORD uiThread = GetCurrentThreadId();
  std::string shown;
  bool answered = false;
  std::uint64_t cancelledAt = 0;
  std::thread user([&] {
    FoundDialog found{.item = IDC_SEARCH_PORT};
    for (int wait = 0; wait < 100 && found.window == nullptr; ++wait) {
      clock_.Sleep(50);
      EnumThreadWindows(uiThread, FindDialog, reinterpret_cast<LPARAM>(&found));
    }
    if (found.window == nullptr) return;
    clock_.Sleep(1000);
    shown = ItemText(found.window, IDC_SEARCH_PORT);
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
    cancelledAt = clock_.NowMs();
    PostMessageW(found.window, WM_COMMAND, IDCANCEL, 0);
  });
  SendMessageW(window, WM_COMMAND, ID_MENU_AUTO, 0);
  const std::uint64_t endedAt = clock_.NowMs();
  user.join();

  EXPECT_EQ(shown, "Looking for the handset on COM" +
                       std::string(std::getenv("VANDREL_TEST_COM_PORT")) + "...");
  EXPECT_TRUE(answered);
  ASSERT_NE(cancelledAt, 0u);
  EXPECT_LT(endedAt - cancelledAt, 1000u);
  EXPECT_EQ(boxes_.boxes.size(), 1u) << "only the notice at start";
  EXPECT_EQ(window_->state().portSelection->port, std::atoi(std::getenv("VANDREL_TEST_COM_PORT")));
}

// What the user saw of pressing Cancel once the object's bytes were going.
struct CancelPress {
  std::uint64_t pressedAt = 0;
  std::uint64_t closedAt = 0;  // when the progress dialog went, 0 while it stays
};

// Presses the progress dialog's Cancel of `uiThread` once the bar has moved, and notes when the
// dialog goes.
CancelPress PressCancelMidObject(Clock& clock, DWORD uiThread) {
  CancelPress press;
  FoundDialog found{.item = IDC_PROGRESS_BAR};
  for (int wait = 0; wait < 600; ++wait, clock.Sleep(50)) {
    EnumThreadWindows(uiThread, FindDialog, reinterpret_cast<LPARAM>(&found));
    if (found.window != nullptr &&
        SendDlgItemMessageW(found.window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0) > 0)
      break;
  }
  if (found.window == nullptr) return press;
  press.pressedAt = clock.NowMs();
  PostMessageW(found.window, WM_COMMAND, IDCANCEL, 0);
  for (int wait = 0; wait < 1200 && IsWindow(found.window); ++wait) clock.Sleep(5);
  if (!IsWindow(found.window)) press.closedAt = clock.NowMs();
  return press;
}

// Run against a handset-sim that reads at 9600 bit/s. Cancel asks first: No lets the card arrive;
// Yes ends a long object's send within a second, nothing is stored, and the simulator, which gave
// up the object when the line hung up, takes the next send at once.
TEST_F(SendTest, SlowLineCancelKeepsSendingOnNoAndStopsAtOnceOnYes) {
  const DWORD uiThread = GetCurrentThreadId();
  const std::size_t before = ManifestLines().size();
  CancelPress kept;
  std::thread user([&] { kept = PressCancelMidObject(clock_, uiThread); });
  SendFromTheWindow(kVCard, WriteCard("keep.vcf"), {false});
  user.join();
  EXPECT_NE(kept.pressedAt, 0u);
  EXPECT_EQ(boxes_.questions, std::vector<std::string>{"Stop sending keep.vcf?"});
  EXPECT_EQ(boxes_.boxes.back().text, "Successfull Download");
  EXPECT_EQ(ManifestLines().size(), before + 1);

  CancelPress stopped;
  user = std::thread([&] { stopped = PressCancelMidObject(clock_, uiThread); });
  SendFromTheWindow(kVCard, WriteCard("long.vcf", kLongCardBytes), {true});
  user.join();
  ASSERT_NE(stopped.closedAt, 0u);
  EXPECT_LT(stopped.closedAt - stopped.pressedAt, 1000u);
  EXPECT_EQ(boxes_.boxes.back().text, "Sending cancelled");
  EXPECT_EQ(ManifestLines().size(), before + 1);

  SendFromTheWindow(kVCard, WriteCard("next.vcf"));
  EXPECT_EQ(boxes_.boxes.back().text, "Successfull Download");
  EXPECT_EQ(ManifestLines().size(), before + 2);
}

// Run against a handset-sim that drops the line 20 000 bytes into the object, as a pulled cable
// does: the window says which port failed at once, and answers meanwhile.
TEST_F(SendTest, PulledCableEndsTheSendWithTheDriversMessage) {
  const std::uint64_t start = clock_.NowMs();
  SendFromTheWindow(kVCard, WriteCard("pulled.vcf", kLongCardBytes));
  EXPECT_LT(clock_.NowMs() - start, 20000u);
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_EQ(boxes_.boxes.back().text, "Error 0x13 : Failed writing in port " +
                                          std::string(std::getenv("VANDREL_TEST_COM_PORT")));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_->window(), IDC_SEND_BUTTON)));
}

constexpr std::size_t kSongBytes = 176444;

TEST_F(SendTest, AskedTheWindowSendsTheHandsetVersionOnYesAndTheFileOnNo) {
  registry_.StoreSetting("FitToHandset", kFitAsk);
  const std::string song = WriteSong("Song.wav");
  const std::size_t before = ManifestLines().size();
  SendFromTheWindow(kSound, song, {true, false});

  const std::vector<std::size_t> sizes = StoredSizes(before);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_LE(sizes[0] * 4, kSongBytes);
  ASSERT_EQ(boxes_.questions.size(), 2u);
  EXPECT_EQ(boxes_.questions[0],
            "song.wav can be made for the handset.\n\nAs it is: 176444 bytes, 16 s at 115200 "
            "bit/s.\nFor the handset: " +
                std::to_string(sizes[0]) + " bytes, 1 s.\n\nSend the handset version?");
  EXPECT_EQ(sizes[1], kSongBytes);
}

TEST_F(SendTest, NeverFittingSendsTheFileWithoutAQuestion) {
  const std::string song = WriteSong("Song.wav");
  const std::size_t before = ManifestLines().size();
  SendFromTheWindow(kSound, song);

  EXPECT_TRUE(boxes_.questions.empty());
  EXPECT_EQ(StoredSizes(before), std::vector<std::size_t>{kSongBytes});
}

}  // namespace
}  // namespace vandrel
