#include "objects/event_log.h"

#include <gtest/gtest.h>

#include "objects/event_table.h"

namespace vandrel {
namespace {

// The event table in English, and a log that records through it.
class EventTest : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }

  EventLog log_;
};

TEST_F(EventTest, FormatsTheTextOfTheRowOrNothing) {
  const struct {
    std::uint8_t code;
    std::int32_t number;
    const char* text;
    const char* shown;
  } cases[] = {{39, 0, "D:\\b.bmp", "Error 0x27 : File D:\\b.bmp has bad length : 0"},
               {1, 3, "", "Error 0x01 : Unavailable port 3"},
               {17, 9, "x", ""},
               {255, 0, "", ""},
               {79, 0, "", ""},
               {51, 4, "", ""},
               // a per-cent sign in a path or a text without arguments is shown as it is
               {40, 0, "C:\\100%d.bmp", "Error 0x28 : Failed opening file C:\\100%d.bmp"},
               {3, 0, "%s%s%s", "Error 0x03 : Insufficient memory in cell phone"}};
  for (const auto& c : cases)
    EXPECT_EQ(FormatEvent(Event{c.code, c.number, 0, c.text, ""}), c.shown) << int{c.code};
}

TEST_F(EventTest, UnfilledCodesResolveToInvalidEventAndNoTableToNothing) {
  Event event{200, 9, 0, "x", ""};
  const EventDescriptor* row = ResolveEvent(event);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(event.code, kEventInvalid);
  EXPECT_EQ(event.number, 200);
  DestroyEventTable();
  Event unknown{kEventPortTimeout, 4, 0, {}, {}};
  EXPECT_EQ(ResolveEvent(unknown), nullptr);
  EXPECT_EQ(FormatEvent(unknown), "");
}

TEST_F(EventTest, CountsErrorsAndLogsWhatTheRowSays) {
  EXPECT_EQ(log_.Record(Event{kEventPortUnavailable, 3, 0, "", ""}),
            "Error 0x01 : Unavailable port 3");
  log_.Record(Event{kEventNothing, 9, 0, "x", ""});
  log_.Record(Event{51, 4, 0, "", ""});
  log_.Record(Event{kEventObjectPrepared, 0, 0, "", ""});
  EXPECT_EQ(log_.ErrorCount(), 1u) << "notices are not counted";
  const auto entries = log_.Entries();
  ASSERT_EQ(entries.size(), 2u) << "the title length notice is not logged";
  EXPECT_EQ(entries[0].code, kEventPortUnavailable);
  EXPECT_EQ(entries[1].code, kEventObjectPrepared);
}

TEST_F(EventTest, UnfilledCodesAreLoggedOnceAsInvalidEvent) {
  EXPECT_EQ(log_.Record(Event{0, 0, 0, "", ""}), "");
  EXPECT_EQ(log_.Record(Event{200, 9, 0, "x", ""}), "");
  EXPECT_EQ(log_.ErrorCount(), 2u);
  const auto entries = log_.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].code, kEventInvalid);
  EXPECT_EQ(entries[0].number, 0);
}

TEST_F(EventTest, RepeatsCountButAreLoggedOnlyWhenTheRowSaysSoUntilBeginStartsANewLog) {
  log_.Record(Event{38, 0, 0, "a.xyz", ""});
  log_.Record(Event{38, 0, 0, "b.xyz", ""});
  EXPECT_EQ(log_.ErrorCount(), 2u);
  EXPECT_EQ(log_.Close(), 2u);
  EXPECT_EQ(log_.Close(), 2u);
  const auto entries = log_.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].text, "a.xyz");
  EXPECT_EQ(entries[1].code, kEventErrorCountReport);
  EXPECT_EQ(entries[2].code, kEventErrorCountReport);
  EXPECT_EQ(entries[2].number, 2);
  EXPECT_TRUE(EventLog().Entries().empty()) << "each log is its own";
  log_.Begin();
  EXPECT_EQ(log_.ErrorCount(), 0u);
  EXPECT_TRUE(log_.Entries().empty());
  EXPECT_EQ(log_.Close(), 0u);
}

}  // namespace
}  // namespace vandrel
