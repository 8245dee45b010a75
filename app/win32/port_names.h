#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vandrel {

// The names the system gives the serial devices of its Ports class ("USB Serial Device (COM5)"),
// by port number; a port the system names no further is not in the map.
std::map<std::int32_t, std::string> FriendlyPortNames();

// A Port menu item: the device's friendly name when there is one, naming the port as it does
// or else followed by it, and the bare "COM5" otherwise.
std::string PortItemText(std::int32_t port, const std::string& friendlyName);

}  // namespace vandrel
