#include "app/port_list.h"

#include <gtest/gtest.h>

#include "platform/registry_tree.h"
#include "serial/port_map.h"

namespace vandrel {
namespace {

class PortListTest : public testing::Test {
 protected:
  void SetUp() override { InstallRegistryStore(&store_); }
  void TearDown() override { InstallRegistryStore(nullptr); }
  void Add(const std::string& name, const std::string& data) {
    store_.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey, name,
                           RegistryValue::String(data));
  }
  MemoryRegistryStore store_;
};

TEST_F(PortListTest, PortsAreListedInNumberOrderUpToEight) {
  PortList list;
  EXPECT_FALSE(BuildPortList(list));
  Add("\\Device\\Serial2", "COM3");
  Add("\\Device\\Serial0", "COM1");
  Add("\\Device\\USB0", "COM12");
  Add("\\Device\\Odd", "com4");
  Add("\\Device\\Odd2", "COM0");
  Add("\\Device\\Odd3", "COM3 ");
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 3);
  EXPECT_EQ((std::vector<int>(list.ports.begin() + 1, list.ports.begin() + 4)),
            (std::vector<int>{1, 3, 12}));
  for (int port = 20; port < 30; ++port)
    Add("p" + std::to_string(port), "COM" + std::to_string(port));
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 8);
  EXPECT_EQ(list.ports[8], 24);
}

// A store whose second value cannot be read, as when a port goes away while the key is read.
class UnreadableSecondValue : public MemoryRegistryStore {
 public:
  std::optional<NamedRegistryValue> EnumValue(Key key, std::uint32_t index) override {
    if (index == 1) return std::nullopt;
    return MemoryRegistryStore::EnumValue(key, index);
  }
};

TEST_F(PortListTest, AValueThatCannotBeReadIsSkipped) {
  UnreadableSecondValue store;
  InstallRegistryStore(&store);
  for (const char* name : {"COM1", "COM2", "COM3"})
    store.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey, name,
                          RegistryValue::String(name));
  PortList list;
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 2);
  EXPECT_EQ(list.ports[1], 1);
  EXPECT_EQ(list.ports[2], 3);
}

TEST_F(PortListTest, InitialSelectionKeepsAListedPortOrTakesTheFirst) {
  Add("a", "COM3");
  Add("b", "COM5");
  PortList list;
  ASSERT_TRUE(BuildPortList(list));
  PortSelection selection{5};
  EXPECT_EQ(SelectInitialPort(list, selection), 2);
  EXPECT_EQ(selection.port, 5);
  selection.port = 1;
  EXPECT_EQ(SelectInitialPort(list, selection), 1);
  EXPECT_EQ(selection.port, 3);
  PortList empty;
  SelectInitialPort(empty, selection);
  EXPECT_EQ(selection.port, 0);
}

TEST_F(PortListTest, ProducedKeyListsTheMappedDevices) {
  ProduceSerialPortKey();
  PortList list;
  ASSERT_TRUE(BuildPortList(list));
  const auto mapped = MappedSerialPorts();
  EXPECT_EQ(list.count, std::min<int>(static_cast<int>(mapped.size()), kMaxListedPorts));
  if (!mapped.empty()) {
    EXPECT_EQ(list.ports[1], mapped.front().port);
  }
}

}  // namespace
}  // namespace vandrel
