#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/user_interface.h"

namespace vandrel {

// Every GUI test: common controls registered, boxes recorded instead of shown, the run-time
// record and the event table put back afterwards.
class GuiTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  RecordingUserInterface boxes_;
};

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

}  // namespace vandrel
