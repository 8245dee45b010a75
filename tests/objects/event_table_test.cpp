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
};

class EventFormatting : public EventTableTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(EventFormatting, Shows) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatEvent(Event{c.code, c.number, 0, c.text, ""}), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, EventFormatting,
    testing::Values(
        FormatCase{39, 0, "D:\\b.bmp", "Error 0x27 : File D:\\b.bmp has bad length : 0"},
        FormatCase{1, 3, "", "Error 0x01 : Unavailable port 3"}, FormatCase{17, 9, "x", ""},
        FormatCase{255, 0, "", ""}, FormatCase{79, 0, "", ""}, FormatCase{51, 4, "", ""},
        // a per-cent sign in a path or a text without arguments is shown as it is
        FormatCase{40, 0, "C:\\100%d.bmp", "Error 0x28 : Failed opening file C:\\100%d.bmp"},
        FormatCase{3, 0, "%s%s%s", "Error 0x03 : Insufficient memory in cell phone"}));

TEST_F(EventTableTest, UnfilledCodesResolveToInvalidEventAndNoTableToNothing) {
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

}  // namespace
}  // namespace vandrel
