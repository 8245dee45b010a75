#include "cli/trace_file.h"

#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

TEST(EscapeBytes, ShowsBytesReadably) {
  const struct {
    std::string bytes;
    std::size_t limit;
    std::string shown;
  } cases[] = {{"AT\r", 64, "\"AT\\r\""},
               {"\r\nOK\r\n", 64, "\"\\r\\nOK\\r\\n\""},
               {std::string("a\0\x7F\xFF\t", 5), 64, "\"a\\x00\\x7F\\xFF\\t\""},
               {"say \"hi\" \\", 64, "\"say \\\"hi\\\" \\\\\""},
               {"RIFF1234", 4, "\"RIFF\"... (4 more bytes)"},
               {"", 64, "\"\""}};
  for (const auto& c : cases)
    EXPECT_EQ(EscapeBytes(
                  std::span(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()),
                  c.limit),
              c.shown);
}

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
