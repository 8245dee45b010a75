#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// Appends the diagnostic line "\r\nCOM<port> : <text>" with catalogue text `textId` in the
// current language, followed by `suffix`.
void AppendPortLog(std::string& log, int port, int textId, std::string_view suffix = {});
// The same line with a text already made.
void AppendPortLogText(std::string& log, int port, std::string_view text);

}  // namespace vandrel
