#include "objects/event_table.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

class EventTableTest : public testing::Test {
 protected:
  void SetUp() override { BuildEventTable(GetTextBlock(kEnglish)); }
  void TearDown() override { DestroyEventTable(); }
};

TEST_F(EventTableTest, FormatsTheTextOfTheRowOrNothing) {
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
