#include "serial/port_map.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vandrel {
namespace {

TEST(PortMap, UartsKeepTheirNumberAndOtherDevicesFollow) {
  const std::vector<MappedPort> expected = {{1, "/dev/ttyS0"},
                                            {4, "/dev/ttyS3"},
                                            {kFirstExtraPort, "/dev/ttyUSB0"},
                                            {kFirstExtraPort + 1, "/dev/ttyACM0"},
                                            {kFirstExtraPort + 2, "/dev/ttyS40"},
                                            {kFirstExtraPort + 3, "/dev/ttySx"}};
  EXPECT_EQ(NumberSerialDevices({"/dev/ttyUSB0", "/dev/ttyS3", "/dev/ttyACM0", "/dev/ttyS0",
                                 "/dev/ttyS40", "/dev/ttySx"}),
            expected);
}

TEST(PortMap, RegisteredPathKeepsItsNumberAndIsListed) {
  const int port = RegisterSerialDevicePath("/tmp/vandrel-test-port");
  ASSERT_GE(port, kFirstExtraPort);
  EXPECT_EQ(RegisterSerialDevicePath("/tmp/vandrel-test-port"), port);
  EXPECT_EQ(SerialDevicePath(port), "/tmp/vandrel-test-port");
  const std::vector<MappedPort> ports = MappedSerialPorts();
  EXPECT_NE(std::ranges::find(ports, MappedPort{port, "/tmp/vandrel-test-port"}), ports.end());
}

TEST(PortMap, ThePlatformNameOfAPortGivesItsNumber) {
  const std::string name = DefaultSerialDevicePath(5);
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(RegisterSerialDevicePath(name), 5);
  EXPECT_EQ(SerialDevicePath(5), name);
}

}  // namespace
}  // namespace vandrel
