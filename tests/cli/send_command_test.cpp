#include "cli/send_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "cli/exit_status.h"
#include "platform/registry_tree.h"
#include "serial/port_map.h"
#include "tests/cli/run_cli.h"

namespace vandrel {
namespace {

using testing::HasSubstr;
namespace fs = std::filesystem;

// A port that no device answers on.
constexpr const char* kDeadPort = "200";

class SendCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallRegistryStore(&store_);
    fs::create_directories(folder_);
    std::ofstream(picture_, std::ios::binary) << "GIF89a picture";
  }
  void TearDown() override {
    InstallRegistryStore(nullptr);
    fs::remove_all(folder_);
  }

  MemoryRegistryStore store_;
  const fs::path folder_ =
      fs::temp_directory_path() / ("vandrel-send-" + std::to_string(std::random_device{}()));
  const std::string picture_ = (folder_ / "picture.gif").string();
};

// A picture given as a sound is looked for in the sound list, where it has no format.
TEST_F(SendCommandTest, KindOptionChoosesTheListTheExtensionMustBeIn) {
  const CliOutput run =
      RunCli({"send", "--lang", "en", "--kind", "sound", "--port", kDeadPort, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, testing::StartsWith(picture_ + ": Error 0x26 : File "));
  EXPECT_THAT(run.err, HasSubstr(" has bad format\n"));
}

TEST_F(SendCommandTest, TraceThatCannotBeWrittenEndsTheRunBeforeAnySend) {
  const std::string trace = (folder_ / "missing" / "trace.txt").string();
  const CliOutput run = RunCli({"send", "--port", kDeadPort, "--trace", trace, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("Cannot write the trace file " + trace));
  EXPECT_EQ(run.out, "");
}

// Fills the process's port map: a test of its own, last of those that give paths numbers.
TEST_F(SendCommandTest, DeviceThatNoNumberIsLeftForEndsTheRun) {
  for (int taken = 0; taken <= kMaxPortNumber; ++taken)
    if (RegisterSerialDevicePath((folder_ / std::to_string(taken)).string()) < 0) break;
  const std::string device = (folder_ / "one-more").string();
  const CliOutput run = RunCli({"send", "--device", device, picture_});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("No port number is left for " + device));
}

}  // namespace
}  // namespace vandrel
