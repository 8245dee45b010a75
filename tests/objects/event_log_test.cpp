#include "objects/event_log.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

class EventLogTest : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }

  EventLog log_;
};

TEST_F(EventLogTest, CountsErrorsAndLogsWhatTheRowSays) {
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

TEST_F(EventLogTest, UnfilledCodesAreLoggedOnceAsInvalidEvent) {
  EXPECT_EQ(log_.Record(Event{0, 0, 0, "", ""}), "");
  EXPECT_EQ(log_.Record(Event{200, 9, 0, "x", ""}), "");
  EXPECT_EQ(log_.ErrorCount(), 2u);
  const auto entries = log_.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].code, kEventInvalid);
  EXPECT_EQ(entries[0].number, 0);
}

TEST_F(EventLogTest, RepeatsCountButAreLoggedOnlyWhenTheRowSaysSoUntilBeginStartsANewLog) {
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
