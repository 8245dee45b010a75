#include "cli/console_lines.h"

namespace vandrel {

std::string ConsoleLines(std::string_view text, std::string_view label) {
  std::string lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (lines.empty() && line.empty()) continue;
    if (!lines.empty()) lines += '\n';
    if (!label.empty()) {
      lines += label;
      lines += ": ";
    }
    lines += line;
  }
  return lines;
}

}  // namespace vandrel
