#include "app/batch_send.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/batch_summary.h"
#include "app/stop_question.h"
#include "handset/adpcm_record.h"
#include "objects/media_file.h"
#include "tests/app/send_fixture.h"
#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

class FrontEndSpy : public SendFrontEnd {
 public:
  void ObjectLoaded(const MediaFile& file) override {
    dataSize = file.data().size();
    convertedSize = file.converted().size();
  }
  void StartProgressFeed(ProgressDisplay&) override {}
  void StopProgressFeed() override {}
  void CloseProgress() override { ++closed; }
  int closed = 0;
  std::size_t dataSize = 0;
  std::size_t convertedSize = 0;
};

class BatchSendTest : public SendFixture {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return folder_.Write(name, bytes).string();
  }
  BatchResult Run(const std::vector<std::string>& files, const BatchOptions& options = {}) {
    return RunBatch(files, options, SendWith(frontEnd_));
  }

  std::vector<std::pair<BoxKind, std::string>> Boxes() const {
    std::vector<std::pair<BoxKind, std::string>> boxes;
    for (const auto& box : ui_.boxes) boxes.emplace_back(box.kind, box.text);
    return boxes;
  }

  ScratchFolder folder_;
  FrontEndSpy frontEnd_;
};

std::vector<bool> SentFiles(const BatchResult& result) {
  std::vector<bool> sent;
  for (const SendOutcome& outcome : result.outcomes) sent.push_back(outcome.succeeded);
  return sent;
}

const std::vector<std::uint8_t> kCard = {'B', 'E', 'G', 'I', 'N', ':', 'V', 'C', 'A', 'R', 'D'};

TEST_F(BatchSendTest, FilesGoInOrderAndBadOnesFailBeforeAnyPortIsOpened) {
  std::vector<std::uint8_t> bitmap(300, 0x42);
  bitmap[1] = 'M';
  const std::string picture = Write("Logo.BMP", bitmap);
  const std::string card = Write("me.vcf", kCard);
  const std::string unknown = Write("notes.txt", {'x'});
  const std::string misnamed = Write("fake.png", {'h', 'e', 'l', 'l', 'o', '\n'});
  // the file is checked before its kind: a missing file is missing, whatever its extension
  const std::string missing = (folder_.path() / "gone.txt").string();
  const BatchResult result = Run({picture, unknown, missing, "", misnamed, card});
  EXPECT_EQ(SentFiles(result), (std::vector<bool>{true, false, false, false, false, true}));
  const SendOutcome& sent = result.outcomes.back();
  EXPECT_EQ(sent.port, kTestPort);
  EXPECT_EQ(sent.lineSpeed, speeds_.speeds[0]);
  EXPECT_GT(sent.bytesSent, kCard.size());
  EXPECT_EQ(result.outcomes[1].lineSpeed, 0) << "a file refused before the link finds no handset";
  ASSERT_FALSE(result.outcomes[1].events.empty());
  EXPECT_EQ(result.outcomes[1].events[0].code, kEventFileBadFormat);
  EXPECT_EQ(result.outcomes[1].events[0].text, unknown);
  EXPECT_EQ(line_.Opens(), 2);
  EXPECT_EQ(frontEnd_.closed, 2);
  const std::string written = line_.Written();
  EXPECT_NE(written.find("AT+KDOBJ=2,1,3,0,4\rLogo"), std::string::npos);
  EXPECT_NE(written.find("AT+KDOBJ=2,1,0,220,11\rBEGIN:VCARD"), std::string::npos);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<BoxKind, std::string>>{
                         {BoxKind::kNotice, "Successfull Download"},
                         {BoxKind::kError, "Error 0x26 : File " + unknown + " has bad format"},
                         {BoxKind::kError, "Error 0x28 : Failed opening file " + missing},
                         {BoxKind::kWarning, "Object filename must be specified !"},
                         {BoxKind::kError, "Error 0x26 : File " + misnamed + " has bad format"},
                         {BoxKind::kNotice, "Successfull Download"}}));
  EXPECT_EQ(written.find("hello"), std::string::npos);
  // the name and the size show from the first phase on
  EXPECT_EQ(ui_.progressCaptions[0], "Send file Logo.BMP (1/6)");
  EXPECT_EQ(ui_.progressLines[0], "Downloaded: 0 % of 0.3 Kb");
  EXPECT_EQ(state_.currentObjectType, nullptr) << "the batch's row is gone";
}

TEST_F(BatchSendTest, ConvertedSoundGoesOutAsAdpcmUnlessTheHandsetRefusedIt) {
  const std::string ring = Write("ring.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(8000)));
  BatchOptions options;
  options.title = "Sonnerie";
  EXPECT_TRUE(Run({ring}, options).outcomes[0].adpcm);
  EXPECT_NE(line_.Written().find("AT+KDOBJ=2,1,3,0,8\rSonnerie"), std::string::npos);
  const std::string adpcmCommand =
      "AT+KDOBJ=2,1,0,1," + std::to_string(frontEnd_.convertedSize) + "\r";
  EXPECT_NE(line_.Written().find(adpcmCommand), std::string::npos);

  WriteAdpcmRecord("351234567890123", false);
  const std::size_t before = line_.Written().size();
  EXPECT_FALSE(Run({ring}, options).outcomes[0].adpcm);
  const std::string pcmCommand = "AT+KDOBJ=2,1,0,1," + std::to_string(frontEnd_.dataSize) + "\r";
  EXPECT_NE(line_.Written().find(pcmCommand, before), std::string::npos);
  EXPECT_EQ(ui_.progressPhases.back(), " Loading with PCM format in progress...");
}

TEST_F(BatchSendTest, NoHandsetMeansNoSuccessButTheProgressStillCloses) {
  handset_.silent = true;
  const std::string picture = Write("a.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  const BatchResult result = Run({picture});
  EXPECT_EQ(result.Failed(), 1);
  EXPECT_EQ(result.outcomes[0].lineSpeed, 0);
  ASSERT_GE(result.outcomes[0].events.size(), 2u);
  EXPECT_EQ(result.outcomes[0].events[1].code, kEventConnectFailed);
  EXPECT_EQ(frontEnd_.closed, 1);
  EXPECT_EQ(ui_.finishCount, 1);
  ASSERT_FALSE(ui_.boxes.empty());
  EXPECT_EQ(ui_.boxes[0].text,
            "Error 0x02 : Mobile phone connexion failure on port 3\n"
            "Check that the mobile is configured in 'Automatic' speed");
  for (const auto& box : ui_.boxes) EXPECT_NE(box.kind, BoxKind::kNotice);
}

// A stop asked for from another thread while the handset takes the object ends the batch: the
// file under way is reported once as interrupted and not as sent, the rest are not tried, and the
// port is closed and usable again.
TEST_F(BatchSendTest, StopEndsTheFileUnderWayAndTheBatch) {
  const std::string card = Write("me.vcf", kCard);
  handset_.objectAnswer = [this](const std::string&) {
    stop_.Request();
    return std::string();
  };
  const BatchResult result = Run({card, card});
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.Sent(), 0);
  EXPECT_EQ(result.Failed(), 1);
  EXPECT_EQ(line_.Opens(), 1);
  EXPECT_FALSE(line_.IsOpen());
  EXPECT_EQ(SerialLineFailure(kTestPort), kDriverNoError);
  EXPECT_EQ(frontEnd_.closed, 1);
  EXPECT_EQ(ui_.finishCount, 0) << "the bar was shown full";
  EXPECT_EQ(Boxes(),
            (std::vector<std::pair<BoxKind, std::string>>{{BoxKind::kError, "Interrupted"}}));
}

// Cancel in the window asks first; a stop of the file under way alone lets the batch go on with
// the next file, on a port that the stop no longer holds.
TEST_F(BatchSendTest, CancelAsksThenStopsTheFileOrTheBatch) {
  ui_.answer = false;
  EXPECT_FALSE(AskToStop(ui_, stop_, "me.vcf", true));
  EXPECT_FALSE(stop_.Requested());
  ui_.answer = true;
  EXPECT_TRUE(AskToStop(ui_, stop_, "me.vcf", true));
  EXPECT_TRUE(stop_.EndsBatch());
  EXPECT_EQ(ui_.questions, (std::vector<std::string>{"Stop sending me.vcf?", "Stop sending me.vcf?",
                                                     "Stop the files after it too?"}));
  stop_.Lift();

  const std::string card = Write("me.vcf", kCard);
  int objects = 0;
  handset_.objectAnswer = [this, &objects](const std::string&) {
    if (++objects == 1) stop_.Request(false);
    return std::string("\r\nOK\r\n");
  };
  BatchOptions options;
  options.stoppedText = TXT_SENDING_CANCELLED;
  const BatchResult result = Run({card, card}, options);
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(SentFiles(result), (std::vector<bool>{false, true}));
  EXPECT_EQ(ui_.boxes.front().text, "Sending cancelled");
}

// One detection serves the batch; a file the handset refused makes the next one detect again, and
// patient waits detect for every file.
TEST_F(BatchSendTest, TheHandsetFoundIsKeptUntilAFileFails) {
  const std::string card = Write("me.vcf", kCard);
  int objects = 0;
  handset_.objectAnswer = [&objects](const std::string&) {
    return std::string(++objects == 2 ? "\r\n+CME ERROR: 100,65524\r\n" : "\r\nOK\r\n");
  };
  const BatchResult result = Run({card, card, card, card});
  EXPECT_EQ(result.Sent(), 3);
  EXPECT_EQ(result.Failed(), 1);
  EXPECT_EQ(line_.Opens(), 2);
  const auto identifications = [this] {
    return std::count(handset_.commands.begin(), handset_.commands.end(), "ATI3");
  };
  EXPECT_EQ(identifications(), 2);
  // each file still has its own exchange, and the closing answer of one is not taken for the next
  EXPECT_EQ(std::count(handset_.commands.begin(), handset_.commands.end(), "AT+CMEE=1"), 4);
  // the kept handset proves itself by its IMEI before files 2 and 4
  EXPECT_EQ(std::count(handset_.commands.begin(), handset_.commands.end(), "AT+CGSN"), 4);
  ASSERT_FALSE(result.outcomes.back().events.empty());
  EXPECT_EQ(result.outcomes.back().events.back().code, kEventErrorCountReport);
  EXPECT_EQ(result.outcomes.back().events.back().number, 0) << "each file has a log of its own";

  state_.patientWaits = true;
  EXPECT_EQ(Run({card, card}).Sent(), 2);
  EXPECT_EQ(line_.Opens(), 4);
  EXPECT_EQ(identifications(), 4);
}

// A handset swapped between two files is detected afresh, and its own IMEI picks its ADPCM record:
// the second handset refused ADPCM before, so its sound goes as PCM.
TEST_F(BatchSendTest, AHandsetSwappedBetweenFilesIsDetectedAfreshWithItsOwnImei) {
  const std::string ring = Write("ring.wav", wav_builder::Pcm16Wav(wav_builder::SpeechLike(8000)));
  WriteAdpcmRecord("359999999999999", false);
  handset_.objectAnswer = [this](const std::string&) {
    handset_.answers["AT+CGSN"] = "\r\n359999999999999\r\n\r\nOK\r\n";
    return std::string("\r\nOK\r\n");
  };
  EXPECT_EQ(Run({ring, ring}).Sent(), 2);
  EXPECT_EQ(std::count(handset_.commands.begin(), handset_.commands.end(), "ATI3"), 2);
  EXPECT_EQ(line_.Opens(), 2);
  const std::string written = line_.Written();
  const std::string adpcmCommand =
      "AT+KDOBJ=2,1,0,1," + std::to_string(frontEnd_.convertedSize) + "\r";
  const std::string pcmCommand = "AT+KDOBJ=2,1,0,1," + std::to_string(frontEnd_.dataSize) + "\r";
  const std::size_t adpcm = written.find(adpcmCommand);
  ASSERT_NE(adpcm, std::string::npos);
  EXPECT_NE(written.find(pcmCommand, adpcm), std::string::npos);
}

// A handset unplugged after the first file fails the second as a fresh send would, not with the
// time-out of an answer that never comes.
TEST_F(BatchSendTest, AHandsetGoneBetweenFilesFailsTheNextAsAFreshSendWould) {
  const std::string card = Write("me.vcf", kCard);
  // unplugged once the first file's closing command has gone
  handset_.listening = [this] {
    return std::find(handset_.commands.begin(), handset_.commands.end(), "AT+KDOBJ=1,0") ==
           handset_.commands.end();
  };
  EXPECT_EQ(SentFiles(Run({card, card})), (std::vector<bool>{true, false}));
  ASSERT_FALSE(ui_.boxes.empty());
  EXPECT_EQ(ui_.boxes[0].text, "Successfull Download");
  const std::vector<std::string> texts = BoxTexts();
  const std::vector<std::string> second(texts.begin() + 1, texts.end());
  ui_.boxes.clear();
  EXPECT_EQ(Run({card}).Failed(), 1);
  EXPECT_EQ(second, BoxTexts());
  EXPECT_EQ(second.front(),
            "Error 0x02 : Mobile phone connexion failure on port 3\n"
            "Check that the mobile is configured in 'Automatic' speed");
}

// The summary follows the order of the drop, whatever went to the batch, and counts a file of no
// known kind among the failures.
TEST(BatchSummary, NamesEveryDroppedFileWithItsResultInTheOrderDropped) {
  const std::vector<std::string> dropped{"C:\\Cards\\one.vcf", "C:\\Docs\\notes.txt",
                                         "C:\\Pictures\\Two.PNG", "Z:/sounds/ring.wav"};
  EXPECT_EQ(SendableFiles(dropped),
            (std::vector<std::string>{"C:\\Cards\\one.vcf", "C:\\Pictures\\Two.PNG",
                                      "Z:/sounds/ring.wav"}));
  BatchResult result;
  for (const bool sent : {true, false, true}) result.outcomes.push_back({.succeeded = sent});
  EXPECT_EQ(BatchSummary(dropped, result),
            "one.vcf: sent\n"
            "notes.txt: not a kind of object the handset takes\n"
            "Two.PNG: failed\n"
            "ring.wav: sent\n"
            "\n"
            "2 sent, 2 failed");
}

}  // namespace
}  // namespace vandrel
