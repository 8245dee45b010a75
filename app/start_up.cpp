#include "app/start_up.h"

#include "app/language.h"

namespace vandrel {

StartUp::StartUp(std::optional<int> language) {
  LoadSettings(settings);
  portsListed = BuildPortList(ports);
  selection.port = settings.port;
  state.portSelection = &selection;
  state.patientWaits = settings.patient;
  SetLanguage(language.value_or(settings.language), nullptr);
}

bool StartUp::IsListed(int port) const {
  for (int position = 1; position <= ports.count; ++position)
    if (ports.ports[static_cast<std::size_t>(position)] == port) return true;
  return false;
}

}  // namespace vandrel
