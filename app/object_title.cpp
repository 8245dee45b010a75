#include "app/object_title.h"

#include <cstdint>

#include "platform/ansi_code_page.h"

namespace vandrel {

namespace {
constexpr std::uint8_t kFirstPrintable = 32;
}  // namespace

std::string CleanObjectTitle(std::string_view rawUtf8) {
  std::string title;
  for (const char byte : ToAnsiCodePage(rawUtf8)) {
    if (title.size() == kMaxTitleChars) break;
    if (static_cast<std::uint8_t>(byte) >= kFirstPrintable) title += byte;
  }
  return title;
}

void StoreObjectTitle(std::string_view title, AppState& state) {
  for (std::size_t i = 0; i < title.size() && i < state.titleChars.size(); ++i)
    state.titleChars[i] = static_cast<std::uint8_t>(title[i]);
}

std::string ObjectTitleText(std::string_view title) {
  return FromAnsiCodePage(title);
}

}  // namespace vandrel
