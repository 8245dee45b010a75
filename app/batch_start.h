#pragma once

#include <optional>

#include "app/port_list.h"
#include "app/settings.h"

namespace vandrel {

// What a batch of sends starts from, the same for vandrel-cli and for files given to the window
// program: the stored settings, the port list, the stored port and the language. The stored port
// is used as it is, even when the system does not list it now (an adapter unplugged): the send
// then fails naming that port, rather than talking to some other device.
class BatchStart {
 public:
  // `language` replaces the stored language for this run only.
  explicit BatchStart(std::optional<int> language);
  ~BatchStart();
  BatchStart(const BatchStart&) = delete;
  BatchStart& operator=(const BatchStart&) = delete;

  // Whether `port` is among the listed ports.
  bool IsListed(int port) const;

  AppSettings settings;
  PortList ports;
  bool portsListed = false;
  // The port of this run; AppState points at it.
  PortSelection selection;
};

}  // namespace vandrel
