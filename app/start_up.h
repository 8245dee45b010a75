#pragma once

#include <optional>

#include "app/port_list.h"
#include "app/settings.h"

namespace vandrel {

// How every front end starts, the window, the files given to the window program and vandrel-cli
// alike: the stored settings, the port list, the stored port, the patience and the language. A
// batch uses the stored port as it is, even when the system does not list it now (an adapter
// unplugged): the send then fails naming that port, rather than talking to some other device;
// the window then selects a listed port instead.
class StartUp {
 public:
  // `language` replaces the stored language for this run only.
  explicit StartUp(std::optional<int> language);
  StartUp(const StartUp&) = delete;
  StartUp& operator=(const StartUp&) = delete;

  // Whether `port` is among the listed ports.
  bool IsListed(int port) const;

  AppSettings settings;
  PortList ports;
  bool portsListed = false;
  // The port of this run; `state` points at it.
  PortSelection selection;
  // The front end's running record, which its sends take their files into.
  AppState state;
};

}  // namespace vandrel
