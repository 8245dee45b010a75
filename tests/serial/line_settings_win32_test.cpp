#include "serial/line_settings_win32.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vandrel {
namespace {

// The DCB's flag bits as one word, as the structure stores them after the speed.
std::uint32_t FlagsWord(const DCB& dcb) {
  std::uint32_t word = 0;
  std::memcpy(&word, reinterpret_cast<const char*>(&dcb) + offsetof(DCB, BaudRate) + sizeof(DWORD),
              sizeof(word));
  return word;
}

// Whatever another program left on the device, every bit cleared or every bit set, the port gets
// the handset's line; with reserved bits 15 and 19 set the flags word reads 0x8A065. The device's
// XON and XOFF characters and its reserved bits stay.
TEST(LineSettings, SetEveryFieldWhateverTheDeviceHadAndKeepItsOwnCharacters) {
  for (const int fill : {0x00, 0xFF}) {
    DCB current;
    std::memset(&current, fill, sizeof(current));
    current.fDummy2 = 0x11;
    current.XonChar = 0x11;
    current.XoffChar = 0x13;

    const DCB dcb = LineSettings(current, 57600);

    EXPECT_EQ(dcb.DCBlength, sizeof(DCB)) << fill;
    EXPECT_EQ(dcb.BaudRate, 57600u) << fill;
    EXPECT_EQ(FlagsWord(dcb), 0x8A065u) << fill;
    EXPECT_EQ(dcb.ByteSize, 8) << fill;
    EXPECT_EQ(dcb.Parity, NOPARITY) << fill;
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT) << fill;
    EXPECT_EQ(dcb.XonLim, 100) << fill;
    EXPECT_EQ(dcb.XoffLim, 100) << fill;
    EXPECT_EQ(dcb.XonChar, 0x11) << fill;
    EXPECT_EQ(dcb.XoffChar, 0x13) << fill;
    EXPECT_EQ(dcb.ErrorChar, 0) << fill;
    EXPECT_EQ(dcb.EofChar, 0) << fill;
    EXPECT_EQ(dcb.EvtChar, 0) << fill;
  }
}

}  // namespace
}  // namespace vandrel
