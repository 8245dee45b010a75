#include "serial/port_map.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/registry_tree.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

TEST(PortMap, UartsKeepTheirNumberAndOtherDevicesFollow) {
  const std::vector<MappedPort> expected = {{1, "/dev/ttyS0", ""},
                                            {4, "/dev/ttyS3", ""},
                                            {kFirstExtraPort, "/dev/ttyUSB0", "usb-A"},
                                            {kFirstExtraPort + 1, "/dev/ttyACM0", ""},
                                            {kFirstExtraPort + 2, "/dev/ttyS40", ""},
                                            {kFirstExtraPort + 3, "/dev/ttySx", ""}};
  EXPECT_EQ(NumberSerialDevices({{"/dev/ttyUSB0", "usb-A"},
                                 {"/dev/ttyS3", ""},
                                 {"/dev/ttyACM0", ""},
                                 {"/dev/ttyS0", ""},
                                 {"/dev/ttyS40", ""},
                                 {"/dev/ttySx", ""}},
                                {}, "/dev/serial/by-id")
                .present,
            expected);
}

// Three starts: the numbers kept after the first hold whatever else is plugged in, and a kept
// device that is gone keeps its number, named by its stable path, instead of passing it on.
TEST(PortMap, AKeptStableNameKeepsItsNumberAndAnAbsentOneIsNamedNotReplaced) {
  const fs::path byId = "/dev/serial/by-id";
  const PortNumbering first = NumberSerialDevices({{"/dev/ttyUSB0", "usb-A"}}, {}, byId);
  std::map<int, std::string> kept;
  for (const MappedPort& mapped : first.present) kept[mapped.port] = mapped.stableName;

  const PortNumbering second = NumberSerialDevices(
      {{"/dev/ttyUSB0", "usb-B"}, {"/dev/ttyUSB1", "usb-A"}, {"/dev/rfcomm0", ""}}, kept, byId);
  EXPECT_EQ(second.present, (std::vector<MappedPort>{{kFirstExtraPort, "/dev/ttyUSB1", "usb-A"},
                                                     {kFirstExtraPort + 1, "/dev/ttyUSB0", "usb-B"},
                                                     {kFirstExtraPort + 2, "/dev/rfcomm0", ""}}));
  EXPECT_TRUE(second.absent.empty());

  const PortNumbering third = NumberSerialDevices({{"/dev/ttyUSB0", "usb-B"}}, kept, byId);
  EXPECT_EQ(third.present,
            (std::vector<MappedPort>{{kFirstExtraPort + 1, "/dev/ttyUSB0", "usb-B"}}));
  EXPECT_EQ(third.absent,
            (std::vector<MappedPort>{{kFirstExtraPort, "/dev/serial/by-id/usb-A", "usb-A"}}));
}

TEST(PortMap, NumbersOfNamedDevicesAreKeptInTheSettingsAndReadBack) {
  MemoryRegistryStore store;
  EXPECT_TRUE(ReadKeptPortNumbers(store).empty());
  WriteKeptPortNumbers(store, {{1, "/dev/ttyS0", "pci-uart"},
                               {kFirstExtraPort, "/dev/ttyUSB1", "usb-A"},
                               {kFirstExtraPort + 1, "/dev/rfcomm0", ""},
                               {kFirstExtraPort + 2, "/dev/ttyUSB0", "usb-B"}});
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, kPortNumbersKey));
  ASSERT_TRUE(key);
  store.SetValue(*key, "COMx", RegistryValue::String("usb-C"));
  store.SetValue(*key, "COM40x", RegistryValue::String("usb-D"));
  store.SetValue(*key, "COM90", RegistryValue::Dword(1));
  EXPECT_EQ(
      ReadKeptPortNumbers(store),
      (std::map<int, std::string>{{kFirstExtraPort, "usb-A"}, {kFirstExtraPort + 2, "usb-B"}}));
}

// A path of its own keeps the number it was given and is listed; the platform's name of a port
// gives that port's number.
TEST(PortMap, RegisteredPathKeepsItsNumberAndIsListed) {
  const int port = RegisterSerialDevicePath("/tmp/vandrel-test-port");
  ASSERT_GE(port, kFirstExtraPort);
  EXPECT_EQ(RegisterSerialDevicePath("/tmp/vandrel-test-port"), port);
  EXPECT_EQ(SerialDevicePath(port), "/tmp/vandrel-test-port");
  const std::vector<MappedPort> ports = MappedSerialPorts();
  EXPECT_NE(std::ranges::find(ports, MappedPort{port, "/tmp/vandrel-test-port", ""}), ports.end());
  const std::string name = DefaultSerialDevicePath(5);
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(RegisterSerialDevicePath(name), 5);
  EXPECT_EQ(SerialDevicePath(5), name);
}

#ifndef _WIN32

// A system and device folder as the kernel and udev make them.
TEST(PortMap, DevicesAreListedFromSysfsWithTheirStableNames) {
  ScratchFolder root;
  const fs::path sys = root.path() / "sys";
  const fs::path dev = root.path() / "dev";
  const auto tty = [&](const std::string& name, const char* type) {
    fs::create_directories(sys / "class" / "tty" / name);
    if (type != nullptr) root.Write("sys/class/tty/" + name + "/type", type);
  };
  tty("ttyS0", "4\n");
  tty("ttyS1", "0\n");
  tty("ttyS2", nullptr);
  tty("ttyUSB1", nullptr);
  tty("ttyUSB0", nullptr);
  tty("rfcomm0", nullptr);
  tty("tty1", nullptr);
  tty("console", nullptr);
  fs::create_directories(dev / "serial" / "by-id");
  fs::create_symlink("../../ttyUSB1", dev / "serial" / "by-id" / "usb-Maker_Cable_A1-if00-port0");
  EXPECT_EQ(ListSerialDevices(sys, dev),
            (std::vector<ListedSerialDevice>{
                {(dev / "ttyS0").string(), ""},
                {(dev / "rfcomm0").string(), ""},
                {(dev / "ttyUSB0").string(), ""},
                {(dev / "ttyUSB1").string(), "usb-Maker_Cable_A1-if00-port0"}}));
}

// --device takes a stable path for the device it links to.
TEST(PortMap, AStablePathGivesTheNumberOfItsDevice) {
  ScratchFolder root;
  const fs::path device = root.Write("ttyUSB7", "");
  fs::create_symlink(device, root.path() / "usb-Maker_Cable");
  const int port = RegisterSerialDevicePath(device.string());
  EXPECT_EQ(RegisterSerialDevicePath((root.path() / "usb-Maker_Cable").string()), port);
}

#endif

}  // namespace
}  // namespace vandrel
