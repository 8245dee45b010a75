#include "app/stop_question.h"

#include <string>

#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

bool AskToStop(UserInterface& ui, SendStop& stop, std::string_view fileName, bool inBatch) {
  const std::string name(fileName);
  if (!ui.Ask(FormatText(GetText(TXT_STOP_QUESTION).c_str(), name.c_str()))) return false;
  stop.Request(!inBatch || ui.Ask(GetText(TXT_STOP_ALL_QUESTION)));
  return true;
}

}  // namespace vandrel
