#include "objects/media_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "objects/event_table.h"
#include "platform/user_interface.h"
#include "platform/utf8_path.h"
#include "runtime/app_state.h"
#include "tests/scratch_folder.h"
#include "tests/sound/wav_builder.h"

namespace vandrel {
namespace {

using wav_builder::Bytes;

TEST(Classification, GivesTheCodeOfTheWholeExtensionInTheKindsList) {
  EXPECT_EQ(ClassifyGraphic("C:\\Pictures\\PHOTO.JPEG"), 104);
  EXPECT_EQ(ClassifyGraphic("ring.wav"), kNoFormat);
  EXPECT_EQ(ClassifySound("song.mp3p"), 10);
  EXPECT_EQ(ClassifySound("song.mp3"), 3);
  EXPECT_EQ(ClassifySound(".wav"), 1);
  EXPECT_EQ(ClassifySound("wav"), kNoFormat);
  EXPECT_EQ(ClassifyVCard("me.vcf.txt"), kNoFormat);
}

TEST(LowerCasePath, LowersTheCapitalsOfTheCodePageOnly) {
  EXPECT_EQ(LowerCasePath("C:\\Été\\AZÀÞ×ßΩ.WAV"), "c:\\été\\azàþ×ßΩ.wav");
  EXPECT_EQ(LowerCasePath("ŠŒŽŸ Ώ.Mp3"), "šœžÿ Ώ.mp3");
}

// A name that is not valid UTF-8: a lead byte followed by something other than an accented
// capital does not swallow the next character (the first case came from the fuzzer; its bytes
// are written in octal, which no letter after them can lengthen).
TEST(LowerCasePath, LowersTheCharacterAfterAStrayLeadByte) {
  EXPECT_EQ(LowerCasePath("pic.Q\376d\303Vv\377w\377.\377a1"), "pic.q\376d\303vv\377w\377.\377a1");
  EXPECT_EQ(LowerCasePath("\xc3\xc3\x89T\xc3"), "\xc3\xc3\xa9t\xc3");
}

class MediaFileTest : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }

  // Writes `bytes` to `name` and makes it the file to send, of kind `kind`.
  std::string Prepare(const std::string& name, const Bytes& bytes, std::int32_t kind) {
    path_ = PathToUtf8(folder.Write(name, bytes));
    kind_ = kind;
    return path_;
  }

  bool Load() { return media.LoadAndValidate(path_, kind_, title_, recorder, log_); }

  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& box : recorder.boxes) texts.push_back(box.text);
    return texts;
  }

  ScratchFolder folder;
  RecordingUserInterface recorder;
  EventLog log_;
  std::string path_;
  std::int32_t kind_ = kGraphic;
  std::vector<std::uint16_t> title_;
  MediaFile media;
};

TEST_F(MediaFileTest, RefusalsNameTheFileAsGiven) {
  path_ = PathToUtf8(folder.path() / "none.bmp");
  EXPECT_FALSE(Load());
  const std::string missing = path_;
  // the length is checked before the extension
  const std::string empty = Prepare("Empty.XYZ", {}, kGraphic);
  EXPECT_FALSE(Load());
  const std::string picture = Prepare("Picture.GIF", {1, 2, 3}, kSound);
  EXPECT_FALSE(Load());
  for (const std::int32_t kind : {0, 5}) {
    kind_ = kind;
    EXPECT_FALSE(Load());
  }
  const std::string badFormat = "Error 0x26 : File " + picture + " has bad format";
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Error 0x28 : Failed opening file " + missing,
                                               "Error 0x27 : File " + empty + " has bad length : 0",
                                               badFormat, badFormat, badFormat}));
}

TEST_F(MediaFileTest, TitleKeepsTheLowBytesOfTwentyCharacters) {
  Prepare("logo.bmp", {'B', 'M'}, kGraphic);
  for (std::size_t i = 0; i < 25; ++i) title_.push_back(static_cast<std::uint16_t>('a' + i));
  title_[0] = 0x1E9;
  ASSERT_TRUE(Load());
  const auto title = media.title();
  EXPECT_EQ(std::string(title.begin(), title.end()), "\351bcdefghijklmnopqrst");

  title_.clear();
  ASSERT_TRUE(Load());
  EXPECT_TRUE(media.title().empty());
}

const Bytes kHandsetWav =
    wav_builder::Convert(wav_builder::Pcm16Wav(wav_builder::SpeechLike(4000))).image;

Bytes BytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

const Bytes kMidi = BytesOf(std::string("MThd\0\0\0\6", 8));
const Bytes kAmr = BytesOf("#!AMR\n\x3C");
const Bytes kCard = BytesOf("BEGIN:VCARD\r\nEND:VCARD\r\n");

const std::string kHeaderOfOneRgbPixel(
    "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xDE", 33);
const std::string kDataOfFourBytes(
    "\0\0\0\x0CIDAT\x78\x9C\x63\x60\x60\x60\0\0\0\x04\0\x01\xF6\x17\x38\x55", 24);
const std::string kDataOfFiveBytes(
    "\0\0\0\x0BIDAT\x78\x9C\x63\x60\0\x02\0\0\x05\0\x01\x7A\x5E\xAB\x3F", 23);

// Where a format has a signature, a file named for it must begin with it; formats without one
// go as they are.
TEST_F(MediaFileTest, AFileThatLacksItsFormatsSignatureIsBadFormat) {
  const struct {
    const char* name;
    std::string bytes;
    std::int32_t kind;
    bool loads;
  } cases[] = {
      {"fake.png", "hello\n", kGraphic, false},
      // a 1 x 1 RGB picture whose image data inflates to its 4 bytes, then to one more
      {"dot.png", kHeaderOfOneRgbPixel + kDataOfFourBytes, kGraphic, true},
      {"bomb.png", kHeaderOfOneRgbPixel + kDataOfFiveBytes, kGraphic, false},
      {"photo.jpg", "\x89PNG\r\n\x1A\n", kGraphic, false},
      {"photo.jpeg", "\xFF\xD8\xFF\xE0", kGraphic, true},
      {"anim.gif", "GIF89", kAnimation, false},
      {"logo.bmp", "MB", kGraphic, false},
      {"ring.wav", "RIFF\x10\0\0\0AVI ", kSound, false},
      {"ring.mid", std::string("RIFF\0\0\0\0RMID", 12), kSound, true},
      {"ring.amr", "#!AM", kSound, false},
      {"card.vcf", "\xEF\xBB\xBF\r\n begin:vCard\r\n", kVCard, true},
      {"card.vcf", "BEGIN:VCALENDAR", kVCard, false},
      {"tune.mp3", "ID3", kSound, true},
  };
  for (const auto& c : cases) {
    recorder.boxes.clear();
    const std::string path = Prepare(c.name, BytesOf(c.bytes), c.kind);
    EXPECT_EQ(Load(), c.loads) << c.name << " " << c.bytes;
    EXPECT_EQ(Shown(),
              c.loads ? std::vector<std::string>{}
                      : std::vector<std::string>{"Error 0x26 : File " + path + " has bad format"})
        << c.name;
  }
}

struct LoadedCase {
  const char* name;
  Bytes bytes;
  std::int32_t kind;
  std::int32_t formatCode;
  Bytes sent;
};

TEST_F(MediaFileTest, WhatIsNotConvertedIsSentWithItsFormatCodeAndNoError) {
  for (const LoadedCase& c :
       {// a QV1 picture goes behind one zero byte
        LoadedCase{"clip.qv1", {9, 8, 7}, kAnimation, 203, {0, 9, 8, 7}},
        // a sound the converter refuses, and a sound of a kind that is never converted
        LoadedCase{"tune.mid", kMidi, kSound, 2, kMidi},
        LoadedCase{"ring.amr", kAmr, kGraphic, 14, kAmr},
        // a sound already in the handset format converts to its own length
        LoadedCase{"tune2.wav", kHandsetWav, kSound, 1, kHandsetWav},
        // any file name given in UTF-8 opens
        LoadedCase{"Sonnerie d'été \xCE\xA9.vcf", kCard, kVCard, 220, kCard}}) {
    Prepare(c.name, c.bytes, c.kind);
    ASSERT_TRUE(Load()) << c.name;
    EXPECT_EQ(media.formatCode(), c.formatCode) << c.name;
    EXPECT_EQ(Bytes(media.data().begin(), media.data().end()), c.sent) << c.name;
    EXPECT_FALSE(media.isConverted()) << c.name;
    EXPECT_TRUE(media.converted().empty()) << c.name;
    ASSERT_FALSE(log_.Entries().empty());
    EXPECT_EQ(log_.Entries().back().code, kEventObjectPrepared) << c.name;
  }
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(log_.ErrorCount(), 0u);
}

}  // namespace
}  // namespace vandrel
