#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/send_stop.h"
#include "handset/handset_link.h"
#include "handset/line_speeds.h"
#include "runtime/app_state.h"

namespace vandrel {

inline constexpr int kMaxListedPorts = 8;
inline constexpr int kPortNumbers = 256;
inline constexpr const char* kSerialCommKey = "Hardware\\DeviceMap\\SerialComm\\";

// The serial ports the system knows, as the Port menu lists them: at most the eight lowest
// numbers, at positions 1 to 8.
struct PortList {
  std::array<bool, kPortNumbers + 1> present{};
  std::array<std::int32_t, kMaxListedPorts + 1> ports{};  // by position 1..8
  int count = 0;
};

// Fills the list from the local machine's serial-port key; false when it cannot be opened.
bool BuildPortList(PortList& list);
// The position whose port is selected: `selection` becomes that port (0 when nothing is listed).
void SelectPort(const PortList& list, int position, PortSelection& selection);
// Selects the listed port equal to the stored one, else the first listed; returns its position.
int SelectInitialPort(const PortList& list, PortSelection& selection);
// The "Auto" search: probes the listed ports in order, selects the first where a compliant
// handset answers and tells the user what was found, through a link made with `context`.
// Returns the position found, 0 for none. A front end that shows the search as it goes gives
// `watch`.
struct SearchWatch {
  std::function<void(int port)> trying;  // told each port before it is probed
  // Once requested, the probe under way ends at once (its port is stopped until the probe is
  // over), and the search ends there, selects nothing and says nothing.
  SendStop* stop = nullptr;
};
int AutoSearch(const LinkContext& context, const PortList& list, LineSpeeds& lineSpeeds,
               PortSelection& selection, const SearchWatch& watch = {});

// Closes the listed ports that the search's probes left open, before the program ends: an open
// port's threads must stop before the port table goes away.
void CloseListedPorts(const PortList& list);

// On a system without a serial-port key of its own, makes the store answer for it from the
// serial devices of the machine.
void ProduceSerialPortKey();

}  // namespace vandrel
