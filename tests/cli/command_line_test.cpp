#include "cli/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/console_lines.h"
#include "cli/exit_status.h"
#include "serial/port_map.h"
#include "tests/app/installed_store.h"
#include "tests/cli/run_cli.h"

namespace vandrel {
namespace {

using Arguments = std::vector<std::string>;

class UsageError : public testing::TestWithParam<Arguments> {};

// Each of these is refused before any command runs, whatever the command.
TEST_P(UsageError, ExitsWithTwo) {
  EXPECT_EQ(RunCli(GetParam()).status, kExitUsage);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, UsageError,
    testing::Values(Arguments{}, Arguments{"sned", "a.png"}, Arguments{"--colour"},
                    Arguments{"send"},
                    Arguments{"send", "--port", "3", "--device", "/dev/x", "a.png"},
                    Arguments{"send", "--port", "0", "a.png"},
                    Arguments{"send", "--kind", "film", "a.png"},
                    Arguments{"send", "--lang", "de", "a.png"}, Arguments{"ports", "extra"},
                    Arguments{"search", "--lang", "es"}, Arguments{"config", "--port", "x"},
                    Arguments{"config", "--lang", "de"}, Arguments{"convert", "a.wav"},
                    Arguments{"convert", "a.wav", "b.wav", "c.wav"},
                    Arguments{"convert", "--trim", "0", "a.wav", "b.wav"}));

TEST(CommandLine, HelpAndVersionExitWithZeroAndAMissingFileWithOne) {
  EXPECT_EQ(RunCli({"--help"}).status, kExitDone);
  EXPECT_EQ(RunCli({"send", "--help"}).status, kExitDone);
  EXPECT_EQ(RunCli({"--version"}).status, kExitDone);
  EXPECT_EQ(RunCli({"convert", "/nonexistent/in.wav", "/nonexistent/out.wav"}).status, kExitFailed);
}

TEST(ConsoleLines, LabelsEveryLineAndDropsTheWindowsLineBreaks) {
  EXPECT_EQ(ConsoleLines("Successfull Download", "a.png"), "a.png: Successfull Download");
  EXPECT_EQ(ConsoleLines("\r\nCOM3 : first\r\nCOM4 : second", "b.vcf"),
            "b.vcf: COM3 : first\nb.vcf: COM4 : second");
  EXPECT_EQ(ConsoleLines("Not found\r\nCOM3 : why", ""), "Not found\nCOM3 : why");
  EXPECT_EQ(ConsoleLines("two\nlines", ""), "two\nlines");
}

// The port send uses is marked, and shown with its device even when the system does not list it.
TEST(PortsCommand, MarksTheStoredPortWithItsDevice) {
  constexpr int kStoredPort = 200;
  InstalledStore store;
  store.StoreSetting("Port", kStoredPort);
  const CliOutput run = RunCli({"ports"});
  EXPECT_EQ(run.status, kExitDone) << run.err;
  EXPECT_THAT(run.out, testing::HasSubstr("* COM200 " + SerialDevicePath(kStoredPort)));
}

}  // namespace
}  // namespace vandrel
