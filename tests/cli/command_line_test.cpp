#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "cli/console_lines.h"
#include "cli/exit_status.h"
#include "tests/cli/run_cli.h"

namespace vandrel {
namespace {

int StatusOf(const std::vector<std::string>& arguments) {
  return RunCli(arguments).status;
}

class UsageError : public testing::TestWithParam<std::vector<std::string>> {};

// Each of these is refused before any command runs, whatever the command.
TEST_P(UsageError, ExitsWithTwo) {
  EXPECT_EQ(StatusOf(GetParam()), kExitUsage);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, UsageError,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"sned", "a.png"},
                    std::vector<std::string>{"--colour"}, std::vector<std::string>{"send"},
                    std::vector<std::string>{"send", "--port", "3", "--device", "/dev/x", "a.png"},
                    std::vector<std::string>{"send", "--port", "0", "a.png"},
                    std::vector<std::string>{"send", "--kind", "film", "a.png"},
                    std::vector<std::string>{"send", "--lang", "de", "a.png"},
                    std::vector<std::string>{"ports", "extra"},
                    std::vector<std::string>{"search", "--lang", "es"},
                    std::vector<std::string>{"config", "--port", "x"},
                    std::vector<std::string>{"config", "--lang", "de"},
                    std::vector<std::string>{"convert", "a.wav"},
                    std::vector<std::string>{"convert", "a.wav", "b.wav", "c.wav"}));

TEST(CommandLine, HelpAndVersionExitWithZeroAndAMissingFileWithOne) {
  EXPECT_EQ(StatusOf({"--help"}), kExitDone);
  EXPECT_EQ(StatusOf({"send", "--help"}), kExitDone);
  EXPECT_EQ(StatusOf({"--version"}), kExitDone);
  EXPECT_EQ(StatusOf({"convert", "/nonexistent/in.wav", "/nonexistent/out.wav"}), kExitFailed);
}

TEST(ConsoleLines, LabelsEveryLineAndDropsTheWindowsLineBreaks) {
  EXPECT_EQ(ConsoleLines("Successfull Download", "a.png"), "a.png: Successfull Download");
  EXPECT_EQ(ConsoleLines("\r\nCOM3 : first\r\nCOM4 : second", "b.vcf"),
            "b.vcf: COM3 : first\nb.vcf: COM4 : second");
  EXPECT_EQ(ConsoleLines("Not found\r\nCOM3 : why", ""), "Not found\nCOM3 : why");
  EXPECT_EQ(ConsoleLines("two\nlines", ""), "two\nlines");
}

}  // namespace
}  // namespace vandrel
