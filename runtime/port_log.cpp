#include "runtime/port_log.h"

#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

void AppendPortLog(std::string& log, int port, int textId, std::string_view suffix) {
  log += FormatText("\r\nCOM%d : %s", port, GetText(textId).c_str());
  log += suffix;
}

}  // namespace vandrel
