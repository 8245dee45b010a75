#pragma once

#include <gtest/gtest.h>

#include "handset/handset_link.h"
#include "objects/event_table.h"
#include "platform/registry_tree.h"
#include "platform/user_interface.h"
#include "serial/serial_driver.h"
#include "tests/handset/fake_handset.h"

namespace vandrel {

inline constexpr int kTestPort = 3;
inline constexpr std::uint32_t kDataCableWithHandset = 0x30;  // CTS + DSR

// A handset link's world: a scripted port with a handset behind it, the settling clock,
// recorded boxes, an in-memory store and the English event table.
class LinkTest : public testing::Test {
 protected:
  LinkTest() : line_(devices_.Line(kTestPort)), clock_(kTestPort, line_) {}

  void SetUp() override {
    InstallSerialDevices(&devices_);
    InstallRegistryStore(&store_);
    BuildEventTable(GetTextBlock(kEnglish));
    line_.SetModemReadings({0, kDataCableWithHandset, kDataCableWithHandset});
    handset_.Attach(line_);
  }

  void TearDown() override {
    SerialClose(kTestPort);
    DestroyEventTable();
    InstallRegistryStore(nullptr);
    InstallSerialDevices(nullptr);
  }

  // What a link on this world is handed.
  LinkContext Context(bool patient = false) {
    return {.clock = clock_, .ui = ui_, .log = log_, .waits = WaitPolicy(patient)};
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : ui_.boxes) texts.push_back(box.text);
    return texts;
  }

  FakeSerialDevices devices_;
  FakeSerialLine& line_;
  SettlingClock clock_;
  RecordingUserInterface ui_;
  EventLog log_;
  MemoryRegistryStore store_;
  FakeHandset handset_;
};

}  // namespace vandrel
