#include <gtest/gtest.h>

#include "handset/adpcm_record.h"
#include "handset/handset_link.h"
#include "objects/media_file.h"
#include "runtime/app_state.h"
#include "serial/serial_driver.h"
#include "tests/handset/link_fixture.h"
#include "tests/scratch_folder.h"
#include "tests/serial/transfer_pattern.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

class DownloadTest : public LinkTest {
 protected:
  // Prepares the object file `name` holding `bytes`, as the Send command would.
  void Prepare(const std::string& name, const std::vector<std::uint8_t>& bytes, ObjectKind kind,
               const std::string& title) {
    const std::vector<std::uint16_t> chars(title.begin(), title.end());
    ASSERT_TRUE(file_.LoadAndValidate(folder_.Write(name, bytes).string(), kind, chars, ui_, log_));
  }

  // Connects, downloads and closes; returns what the handset received during the download.
  std::string Send(bool useAdpcm) {
    std::size_t before = 0;
    std::uint64_t writtenBefore = 0;
    {
      LineSpeeds speeds;
      HandsetLink link(Context(), kTestPort, speeds);
      EXPECT_TRUE(link.connected);
      before = line_.Written().size();
      writtenBefore = SerialBytesWritten(kTestPort);
      link.ChooseRendition(useAdpcm);
      link.Download(file_, "object", progress_);
      eventAfter_ = link.currentEvent.code;
    }
    // the closing command has left once the link has closed
    writtenInDownload_ = SerialBytesWritten(kTestPort) - writtenBefore;
    return line_.Written().substr(before);
  }

  ScratchFolder folder_;
  MediaFile file_;
  ProgressDisplay progress_{ui_};
  std::uint64_t writtenInDownload_ = 0;
  std::uint8_t eventAfter_ = kEventNothing;
};

// a bitmap's signature, then a pattern that shows a byte lost or repeated
const std::vector<std::uint8_t> kPicture = [] {
  std::vector<std::uint8_t> bytes = TransferPattern(100, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  return bytes;
}();

// An empty title has no title phase; free memory equal to the object's size is enough.
TEST_F(DownloadTest, PictureGoesOutInOrderAfterItsTitleIfAny) {
  handset_.answers["AT+KDOBJ?"] = "\r\n+KDOBJ: 100\r\n\r\nOK\r\n";
  const std::string session = "AT+CMEE=1\rAT&K3\rAT+KDOBJ?\rAT+KDOBJ=1,1\r";
  const std::string object = "AT+KDOBJ=2,1,0,102,100\r" + AsText(kPicture) + "AT+KDOBJ=1,0\r";
  Prepare("logo.bmp", kPicture, kGraphic, "Hello");
  const std::string received = Send(false);
  EXPECT_EQ(received, session + "AT+KDOBJ=2,1,3,0,5\rHello" + object);
  EXPECT_EQ(writtenInDownload_, received.size());
  EXPECT_EQ(ui_.progressPhases.back(), " In progress...");
  Prepare("logo.bmp", kPicture, kGraphic, "");
  EXPECT_EQ(Send(false), session + object);
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(log_.ErrorCount(), 0u);
}

// Each refusal ends the download with its message and without the closing command.
TEST_F(DownloadTest, RefusalsEndWithTheirMessageAndWithoutTheClosingCommand) {
  const auto answers = handset_.answers;
  const struct {
    const char* command;
    const char* answer;
    const char* shown;
  } cases[] = {
      {"AT&K3", "\r\nERROR\r\n", "Error 0x1D : The handset does not contain a SIM card."},
      // only the echo comes back
      {"AT&K3", "", "Error 0x1D : The handset does not contain a SIM card."},
      {"AT+KDOBJ?", "\r\n+KDOBJ: 99\r\n\r\nOK\r\n", "Error 0x04 : Not enough memory in cell phone"},
      {"AT+CMEE=1", "\r\nERROR\r\n", "Error 0x15 : Unexpected cell phone's reponse"},
      {"AT+KDOBJ=2,1,3,0", "\r\n+CME ERROR: 100,65533\r\n",
       "Error 0x1B : The cell phone failed writing in Flash memory"},
      {"AT+KDOBJ=2,1,0", "\r\n+CME ERROR: 100,65524\r\n",
       "Error 0x19 : This format isn't supported by cell phone"}};
  for (const auto& c : cases) {
    handset_.answers = answers;
    handset_.answers[c.command] = c.answer;
    ui_.boxes.clear();
    Prepare("logo.bmp", kPicture, kGraphic, "Hi");
    const std::string received = Send(false);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.shown}) << c.command;
    EXPECT_EQ(received.find("AT+KDOBJ=1,0\r"), std::string::npos) << c.command;
    EXPECT_EQ(eventAfter_, kEventNothing) << c.command;
  }
}

class SoundDownloadTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    Prepare("ring.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(8000)), kSound, "Ring");
    ASSERT_TRUE(file_.isConverted());
    handset_.objectAnswer = [this](const std::string& header) {
      // the handset refuses the converted rendition by its size
      return header == "1," + std::to_string(file_.converted().size())
                 ? std::string("\r\n+CME ERROR: 100,65525\r\n")
                 : std::string("\r\nOK\r\n");
    };
  }
};

TEST_F(SoundDownloadTest, RefusedAdpcmIsRecordedAndSentAgainAsPcm) {
  const std::string received = Send(true);
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(log_.ErrorCount(), 0u);
  EXPECT_NE(received.find(AsText(file_.converted())), std::string::npos);
  EXPECT_TRUE(received.ends_with(AsText(file_.data()) + "AT+KDOBJ=1,0\r"));
  EXPECT_EQ(ui_.progressPhases,
            (std::vector<std::string>{" Loading with ADPCM format in progress...",
                                      " Loading with PCM format in progress..."}));
  bool accepts = true;
  EXPECT_TRUE(ReadAdpcmRecord("351234567890123", accepts));
  EXPECT_FALSE(accepts);
}

TEST_F(SoundDownloadTest, RefusalOfPcmIsReported) {
  handset_.objectAnswer = [](const std::string&) {
    return std::string("\r\n+CME ERROR: 100,65532\r\n");
  };
  Send(false);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"Error 0x1A : This object isn't supported by cell phone"});
  bool accepts = false;
  EXPECT_FALSE(ReadAdpcmRecord("351234567890123", accepts));
}

class AdpcmRecordTest : public testing::Test {
 protected:
  void SetUp() override { InstallRegistryStore(&store_); }
  void TearDown() override { InstallRegistryStore(nullptr); }
  void Store(std::string_view imei, std::vector<std::uint8_t> data) {
    store_.Tree().SetValue(RegistryRoot::kCurrentUser,
                           std::string("Software\\Kesta\\VANDREL\\IMEI\\").append(imei),
                           "ADPCM_Compatibility", {RegistryType::kString, std::move(data)});
  }
  MemoryRegistryStore store_;
};

TEST_F(AdpcmRecordTest, OnlyExactYesAndNoAreRecords) {
  bool accepts = false;
  EXPECT_FALSE(ReadAdpcmRecord("1", accepts));
  EXPECT_TRUE(accepts);
  const struct {
    std::vector<std::uint8_t> data;
    bool record;
    bool accepts;
  } cases[] = {{{'N', 'o', 0}, true, false},   {{'Y', 'e', 's', 0}, true, true},
               {{'n', 'o', 0}, false, true},   {{'N', 'O', 0}, false, true},
               {{'Y', 'e', 's'}, false, true}, {{'N', 'o', 0, 0}, false, true},
               {{'N', 'o', 'X'}, true, false}};
  for (const auto& c : cases) {
    Store("2", c.data);
    accepts = !c.accepts;
    EXPECT_EQ(ReadAdpcmRecord("2", accepts), c.record);
    EXPECT_EQ(accepts, c.accepts);
  }
}

TEST_F(AdpcmRecordTest, EmptyImeiKeepsTheKeyName) {
  WriteAdpcmRecord("", false);
  const auto* key =
      store_.Tree().FindKey(RegistryRoot::kCurrentUser, "Software\\Kesta\\VANDREL\\IMEI");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->values.size(), 1u);
  EXPECT_EQ(key->values[0].value.data, (std::vector<std::uint8_t>{'N', 'o', 0}));
}

}  // namespace
}  // namespace vandrel
