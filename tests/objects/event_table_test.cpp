#include "objects/event_table.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

class EventTableTest : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }
};

struct FormatCase {
  std::uint8_t code;
  std::int32_t number;
  const char* text;
  const char* shown;
  std::uint32_t counted;
};

class EventFormatting : public EventTableTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(EventFormatting, ShowsAndCounts) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatEvent(Event{c.code, c.number, 0, c.text, ""}), c.shown);
  EXPECT_EQ(ErrorCount(), c.counted);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, EventFormatting,
    testing::Values(
        FormatCase{39, 0, "D:\\b.bmp", "Error 0x27 : File D:\\b.bmp has bad length : 0", 1},
        FormatCase{1, 3, "", "Error 0x01 : Unavailable port 3", 1}, FormatCase{17, 9, "x", "", 0},
        FormatCase{255, 0, "", "", 1}, FormatCase{79, 0, "", "", 0}, FormatCase{51, 4, "", "", 0},
        // a per-cent sign in a path or a text without arguments is shown as it is
        FormatCase{40, 0, "C:\\100%d.bmp", "Error 0x28 : Failed opening file C:\\100%d.bmp", 1},
        FormatCase{3, 0, "%s%s%s", "Error 0x03 : Insufficient memory in cell phone", 1}));

TEST_F(EventTableTest, UnfilledCodesAreLoggedOnceAsInvalidEvent) {
  EXPECT_EQ(FormatEvent(Event{0, 0, 0, "", ""}), "");
  EXPECT_EQ(FormatEvent(Event{200, 9, 0, "x", ""}), "");
  EXPECT_EQ(ErrorCount(), 2u);
  const auto log = EventLogEntries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].code, kEventInvalid);
  EXPECT_EQ(log[0].number, 0);
}

TEST_F(EventTableTest, RepeatsCountButAreLoggedOnlyWhenTheRowSaysSo) {
  EXPECT_EQ(FormatEvent(Event{38, 0, 0, "a.xyz", ""}), "Error 0x26 : File a.xyz has bad format");
  EXPECT_EQ(FormatEvent(Event{38, 0, 0, "b.xyz", ""}), "Error 0x26 : File b.xyz has bad format");
  EXPECT_EQ(ErrorCount(), 2u);
  EXPECT_EQ(CloseEventLog(), 2u);
  EXPECT_EQ(CloseEventLog(), 2u);
  const auto log = EventLogEntries();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].text, "a.xyz");
  EXPECT_EQ(log[1].code, kEventErrorCountReport);
  EXPECT_EQ(log[2].code, kEventErrorCountReport);
  EXPECT_EQ(log[2].number, 2);
}

TEST_F(EventTableTest, ResetStartsANewSend) {
  FormatEvent(Event{kEventPortTimeout, 4, 0, "", ""});
  ResetEventLog();
  EXPECT_EQ(ErrorCount(), 0u);
  EXPECT_TRUE(EventLogEntries().empty());
  EXPECT_EQ(CloseEventLog(), 0u);
}

TEST_F(EventTableTest, RebuildInFrenchChangesTextsAndPrefixAndZeroesTheCount) {
  FormatEvent(Event{kEventPortTimeout, 4, 0, "", ""});
  DestroyEventTable();
  EXPECT_EQ(ErrorCount(), 1u);
  BuildEventTable(GetTextBlock(kFrench));
  EXPECT_EQ(ErrorCount(), 0u);
  EXPECT_TRUE(EventLogEntries().empty());
  EXPECT_EQ(FormatEvent(Event{kEventFileBadLength, 12, 0, "d:\\b.bmp", ""}),
            "Erreur 0x27 : Taille du fichier objet d:\\b.bmp invalide : 12");
}

}  // namespace
}  // namespace vandrel
