#include "runtime/port_log.h"

#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

void AppendPortLog(std::string& log, int port, int textId, std::string_view suffix) {
  AppendPortLogText(log, port, GetText(textId));
  log += suffix;
}

void AppendPortLogText(std::string& log, int port, std::string_view text) {
  log += FormatText("\r\nCOM%d : ", port);
  log += text;
}

}  // namespace vandrel
