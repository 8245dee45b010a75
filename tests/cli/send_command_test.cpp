#include "cli/send_command.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include "cli/command_session.h"
#include "cli/convert_command.h"
#include "cli/ports_command.h"
#include "cli/search_command.h"

namespace vandrel {
namespace {

// The status main() gives for a command line that does not parse (no command runs then).
int ParseStatus(std::vector<std::string> arguments) {
  CLI::App app("test", "vandrel-cli");
  app.require_subcommand(1);
  int exitStatus = 0;
  AddSendCommand(app, exitStatus);
  AddPortsCommand(app, exitStatus);
  AddSearchCommand(app, exitStatus);
  AddConvertCommand(app, exitStatus);
  std::vector<const char*> pointers{"vandrel-cli"};
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    std::ostringstream out, err;
    return ParseErrorStatus(app, app.exit(error, out, err));
  }
  ADD_FAILURE() << "the command line parsed";
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

TEST(SendUsage, OtherCommandsKeepTheParsersStatus) {
  const int status = ParseStatus({"convert"});
  EXPECT_NE(status, kExitUsage);
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace vandrel
