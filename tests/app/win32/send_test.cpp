// Sends through a Wine COM port to handset-sim, which with_handset_sim starts around this test.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/win32/batch_host.h"
#include "app/win32/main_window.h"
#include "gui_test_support.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCardBytes = 3000;

class SendTest : public GuiTest {
 protected:
  void SetUp() override {
    const char* port = std::getenv("VANDREL_TEST_COM_PORT");
    const char* store = std::getenv("VANDREL_TEST_HANDSET_STORE");
    if (port == nullptr || store == nullptr) GTEST_SKIP() << "run through with_handset_sim";
    GuiTest::SetUp();
    port_ = std::atoi(port);
    // the simulator's folder is a Linux path, which Wine shows on drive Z:
    manifest_ = fs::path("Z:" + std::string(store)) / "manifest.tsv";
    ListSerialPorts({port_});
    StoreSetting("Port", RegistryValue::Dword(static_cast<std::uint32_t>(port_)));
  }
  // A vCard of kCardBytes bytes, "2.9 Kb" in the progress line.
  std::string WriteCard(const std::string& name) {
    std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Sim;Handset\r\nNOTE:";
    const std::string end = "\r\nEND:VCARD\r\n";
    card.append(kCardBytes - card.size() - end.size(), 'x');
    card += end;
    return folder_.Write(name, card).string();
  }

  std::vector<std::string> ManifestLines() const {
    std::ifstream file(manifest_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.boxes) texts.push_back(box.text);
    return texts;
  }

  int port_ = 0;
  fs::path manifest_;
  ScratchFolder folder_;
};

TEST_F(SendTest, SendFromTheWindowEndsWithSuccessAndTheBarFull) {
  const std::string path = WriteCard("Business Card.vcf");
  MainWindow window(ui_, dialogs_, clock_, [&](HWND, const OpenFileRequest&) { return path; });
  const HWND handle = window.Create();
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(window.ports().count, 1);
  SendDlgItemMessageW(handle, IDC_OBJECT_TYPE, CB_SETCURSEL, kVCard - 1, 0);
  SendMessageW(handle, WM_COMMAND, MAKEWPARAM(IDC_OBJECT_TYPE, CBN_SELCHANGE), 0);
  SendMessageW(handle, WM_COMMAND, ID_MENU_OPEN, 0);
  const std::size_t before = ManifestLines().size();

  SendMessageW(handle, WM_COMMAND, IDC_SEND_BUTTON, 0);

  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{GetText(TXT_ABOUT_TEXT), "Successfull Download"}));
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

  EXPECT_EQ(result.sent, 2);
  EXPECT_EQ(result.failed, 1);
  const std::vector<std::string> texts = BoxTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Successfull Download"), 2);
  EXPECT_EQ(ui_.finishedBars, (std::vector<LRESULT>{100, 100}));
  EXPECT_EQ(boxes_.progressCaptions.back(), "Send file two.vcf (3/3)");
  EXPECT_EQ(ManifestLines().size(), before + 2);
}

}  // namespace
}  // namespace vandrel
