#include "cli/trace_file.h"

#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

struct EscapeCase {
  std::string bytes;
  std::size_t limit;
  std::string shown;
};

class EscapeBytesTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeBytesTest, ShowsBytesReadably) {
  const std::string& bytes = GetParam().bytes;
  EXPECT_EQ(
      EscapeBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                  GetParam().limit),
      GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, EscapeBytesTest,
                         testing::Values(EscapeCase{"AT\r", 64, "\"AT\\r\""},
                                         EscapeCase{"\r\nOK\r\n", 64, "\"\\r\\nOK\\r\\n\""},
                                         EscapeCase{std::string("a\0\x7F\xFF\t", 5), 64,
                                                    "\"a\\x00\\x7F\\xFF\\t\""},
                                         EscapeCase{"say \"hi\" \\", 64, "\"say \\\"hi\\\" \\\\\""},
                                         EscapeCase{"RIFF1234", 4, "\"RIFF\"... (4 more bytes)"},
                                         EscapeCase{"", 64, "\"\""}));

class QuietFrontEnd final : public SendFrontEnd {
 public:
  void StartProgressFeed(ProgressDisplay&) override {}
  void StopProgressFeed() override {}
  void CloseProgress() override {}
};

TEST(TraceFile, RecordsLinkTrafficPausesAndMessagesInOrderAndPassesThemOn) {
  const ScratchFolder folder;
  const auto path = folder.path() / "trace.txt";
  VirtualClock clock;
  RecordingUserInterface ui;
  QuietFrontEnd frontEnd;
  const AppState state;
  {
    TraceFile trace(path.string(), clock, ui, frontEnd, state);
    ASSERT_TRUE(trace.IsOpen());
    const std::uint8_t answer[] = {'O', 'K', '\r', '\n'};
    trace.Written(5, std::span(answer).first(2));
    trace.Sleep(100);
    trace.Sleep(100);
    trace.Sleep(100);
    trace.Read(5, answer);
    trace.Sleep(500);
    trace.ShowBox(BoxKind::kError, "Boom");
  }
  // after the line that says when the trace was started
  const std::string trace = ReadWhole(path);
  EXPECT_EQ(trace.substr(trace.find('\n') + 1),
            "     0.000  COM5 > 2 bytes \"OK\"\n"
            "     0.000  pause 100 ms x 3\n"
            "     0.300  COM5 < 4 bytes \"OK\\r\\n\"\n"
            "     0.300  pause 500 ms\n"
            "     0.800  error: \"Boom\"\n");
  EXPECT_EQ(clock.SleptMs(), 800u);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Boom");
}

}  // namespace
}  // namespace vandrel
