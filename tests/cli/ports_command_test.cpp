#include "cli/ports_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/exit_status.h"
#include "serial/port_map.h"
#include "tests/app/installed_store.h"
#include "tests/cli/run_cli.h"

namespace vandrel {
namespace {

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
