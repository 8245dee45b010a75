#pragma once

#include <windows.h>

namespace vandrel {

// The line parameters a port is set to at `speed`, made from the device's `current` ones: 8-N-1,
// CTS output flow control, DTR and RTS by handshake, DSR sensitivity, no XON/XOFF flow control,
// XON and XOFF limits of 100, no replaced or stripped characters. The XON and XOFF characters and
// the structure's reserved bits stay as the device had them.
DCB LineSettings(const DCB& current, int speed);

}  // namespace vandrel
