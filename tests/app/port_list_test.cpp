#include "app/port_list.h"

#include <gtest/gtest.h>

#include "platform/format_text.h"
#include "platform/registry_tree.h"
#include "runtime/message_catalogue.h"
#include "tests/app/installed_store.h"
#include "tests/handset/link_fixture.h"

namespace vandrel {
namespace {

class PortListTest : public testing::Test {
 protected:
  void Add(const std::string& name, const std::string& data) {
    store_.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey, name,
                           RegistryValue::String(data));
  }
  InstalledStore store_;
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
  store_.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey, "\\Device\\Number",
                         RegistryValue::Dword(5));
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 3);
  EXPECT_EQ((std::vector<int>(list.ports.begin() + 1, list.ports.begin() + 4)),
            (std::vector<int>{1, 3, 12}));
  ListSerialPorts(store_, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 8);
  EXPECT_EQ(list.ports[8], 24);
}

// A store whose second value cannot be read, as when a port goes away while the key is read.
class UnreadableSecondValue : public InstalledStore {
 public:
  std::optional<NamedRegistryValue> EnumValue(Key key, std::uint32_t index) override {
    if (index == 1) return std::nullopt;
    return MemoryRegistryStore::EnumValue(key, index);
  }
};

TEST_F(PortListTest, AValueThatCannotBeReadIsSkipped) {
  UnreadableSecondValue store;
  ListSerialPorts(store, {1, 2, 3});
  PortList list;
  ASSERT_TRUE(BuildPortList(list));
  EXPECT_EQ(list.count, 2);
  EXPECT_EQ(list.ports[1], 1);
  EXPECT_EQ(list.ports[2], 3);
}

TEST_F(PortListTest, InitialSelectionKeepsAListedPortOrTakesTheFirst) {
  ListSerialPorts(store_, {3, 5});
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

// The search over the listed ports, a silent port first and the handset's port second.
class AutoSearchTest : public LinkTest {
 protected:
  static constexpr int kSilentPort = 1;
  static constexpr int kUnreachedPort = 5;
  void SetUp() override {
    LinkTest::SetUp();
    ListSerialPorts(store_, {kSilentPort, kTestPort, kUnreachedPort});
    ASSERT_TRUE(BuildPortList(list_));
    selection_.port = kUnreachedPort;
  }
  void TearDown() override {
    CloseListedPorts(list_);
    LinkTest::TearDown();
  }
  PortList list_;
  LineSpeeds speeds_;
  PortSelection selection_;
};

TEST_F(AutoSearchTest, ProbesInOrderAndSelectsTheFirstPortWithAHandset) {
  EXPECT_EQ(AutoSearch(Context(), list_, speeds_, selection_), 2);
  EXPECT_EQ(selection_.port, kTestPort);
  EXPECT_EQ(devices_.Line(kSilentPort).Opens(), 1) << "the port listed first is probed first";
  EXPECT_EQ(devices_.Line(kUnreachedPort).Opens(), 0);
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{FormatText(GetText(TXT_FOUND_HANDSET).c_str(), "", kTestPort)}));
  CloseListedPorts(list_);
  EXPECT_FALSE(devices_.Line(kSilentPort).IsOpen());
  EXPECT_FALSE(line_.IsOpen());
}

TEST_F(AutoSearchTest, NoHandsetShowsWhatEachPortAnsweredAndKeepsTheSelection) {
  handset_.answers["AT+KDOBJ?"] = "\r\nERROR\r\n";
  devices_.FailOpen(kUnreachedPort, OpenFailure::kAccessDenied, 5);
  EXPECT_EQ(AutoSearch(Context(), list_, speeds_, selection_), 0);
  EXPECT_EQ(selection_.port, kUnreachedPort);
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{GetText(TXT_NOT_FOUND_ANY_PORT) +
                                "\r\nCOM1 : No DATA cable and no IRDA have been detected"
                                "\r\nCOM3 : A handset without object transfer capability was found."
                                "\r\nCOM5 : This port is already used by another application."}));
}

// The window's search dialog is told each port, and its Cancel, given while the handset's port is
// probed, ends the probe at once (nothing more is written there) and the search without a word,
// keeping the selection; the port is usable again afterwards.
TEST_F(AutoSearchTest, AWatchSeesEachPortAndStoppingEndsTheSearchSilently) {
  std::vector<int> tried;
  SendStop stop;
  const SearchWatch watch{.trying = [&](int port) { tried.push_back(port); }, .stop = &stop};
  EXPECT_EQ(AutoSearch(Context(), list_, speeds_, selection_, watch), 2);
  EXPECT_EQ(tried, (std::vector<int>{kSilentPort, kTestPort}));
  CloseListedPorts(list_);

  tried.clear();
  const std::size_t written = line_.Written().size();
  line_.SetAnswerer([&stop](std::string_view) {
    stop.Request();
    return std::string();
  });
  selection_.port = kUnreachedPort;
  const std::size_t boxes = BoxTexts().size();
  EXPECT_EQ(AutoSearch(Context(), list_, speeds_, selection_, watch), 0);
  EXPECT_EQ(tried, (std::vector<int>{kSilentPort, kTestPort}));
  EXPECT_EQ(line_.Written().substr(written), "ATI3\r");
  EXPECT_EQ(SerialLineFailure(kTestPort), kDriverNoError);
  EXPECT_EQ(selection_.port, kUnreachedPort);
  EXPECT_EQ(BoxTexts().size(), boxes);
}

}  // namespace
}  // namespace vandrel
