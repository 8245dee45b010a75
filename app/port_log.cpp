#include "app/port_log.h"

#include "app/message_catalogue.h"
#include "platform/format_text.h"

namespace vandrel {

void AppendPortLog(std::string& log, int port, int textId, std::string_view suffix) {
  log += FormatText("\r\nCOM%d : %s", port, GetText(textId).c_str());
  log += suffix;
}

}  // namespace vandrel
