#include "app/batch_start.h"

#include "app/language.h"

namespace vandrel {

BatchStart::BatchStart(std::optional<int> language) {
  AppState& state = TheAppState();
  state.batchMode = true;
  state.sending = false;
  ProduceSerialPortKey();
  LoadSettings(settings);
  portsListed = BuildPortList(ports);
  selection.port = settings.port;
  state.portSelection = &selection;
  SetLanguage(language.value_or(settings.language), nullptr);
}

BatchStart::~BatchStart() {
  TheAppState().portSelection = nullptr;
}

bool BatchStart::IsListed(int port) const {
  for (int position = 1; position <= ports.count; ++position)
    if (ports.ports[static_cast<std::size_t>(position)] == port) return true;
  return false;
}

}  // namespace vandrel
