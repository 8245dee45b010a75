#include "cli/command_session.h"

#include "objects/event_table.h"

namespace vandrel {

StartUp CommandSession::StartOnDevices(std::optional<int> language) {
  ProduceSerialPortKey();
  return StartUp(language);
}

CommandSession::~CommandSession() {
  DestroyEventTable();
}

}  // namespace vandrel
