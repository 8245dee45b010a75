#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include "cli/command_session.h"
#include "cli/convert_command.h"
#include "cli/ports_command.h"
#include "cli/search_command.h"
#include "cli/send_command.h"

namespace vandrel {
namespace {

// The status main() gives for `arguments`, without running any command.
int ParseStatus(std::vector<std::string> arguments) {
  CLI::App app("test", "vandrel-cli");
  app.require_subcommand(1);
  int exitStatus = 0;
  AddSendCommand(app, exitStatus);
  AddPortsCommand(app, exitStatus);
  AddSearchCommand(app, exitStatus);
  AddConvertCommand(app, exitStatus);
  // the callbacks would send: parse only
  for (CLI::App* command : app.get_subcommands({})) command->callback(nullptr);
  std::vector<const char*> pointers{"vandrel-cli"};
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    std::ostringstream out, err;
    return ParseErrorStatus(app, app.exit(error, out, err));
  }
  return 0;
}

class SendUsage : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SendUsage, IsAUsageError) {
  EXPECT_EQ(ParseStatus(GetParam()), kExitUsage);
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, SendUsage,
    testing::Values(std::vector<std::string>{"send"},
                    std::vector<std::string>{"send", "--port", "3", "--device", "/dev/x", "a.png"},
                    std::vector<std::string>{"send", "--port", "0", "a.png"},
                    std::vector<std::string>{"send", "--kind", "film", "a.png"},
                    std::vector<std::string>{"send", "--lang", "de", "a.png"},
                    std::vector<std::string>{"send", "--colour", "a.png"},
                    std::vector<std::string>{"ports", "extra"},
                    std::vector<std::string>{"search", "--lang", "es"}));

TEST(SendUsage, GoodCommandLinesParse) {
  EXPECT_EQ(ParseStatus({"send", "--port", "255", "--kind", "VCard", "--lang", "fr", "--title",
                         "Hi", "--trace", "t.txt", "a.vcf", "b.vcf"}),
            0);
  EXPECT_EQ(ParseStatus({"search", "--device", "/dev/pts/3", "--device", "/dev/pts/4"}), 0);
}

TEST(SendUsage, OtherCommandsKeepTheParsersStatus) {
  EXPECT_NE(ParseStatus({"convert"}), kExitUsage);
  EXPECT_NE(ParseStatus({"convert"}), 0);
}

}  // namespace
}  // namespace vandrel
