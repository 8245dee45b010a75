#include "cli/command_session.h"

#include "objects/event_table.h"

namespace vandrel {

CommandSession::CommandSession(std::optional<int> language) : start_(language) {}

CommandSession::~CommandSession() {
  DestroyEventTable();
}

}  // namespace vandrel
