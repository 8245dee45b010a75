#include <windows.h>

#include "platform/ansi_code_page.h"
#include "platform/utf16.h"
#include "platform/utf8.h"

namespace vandrel {

namespace {
constexpr char32_t kLargest16Bit = 0xFFFF;
constexpr char kQuestionMark = '?';
// the longest character of any of the system's code pages
constexpr int kMaxCharBytes = 4;
}  // namespace

std::string ToAnsiCodePage(std::string_view utf8) {
  std::string bytes;
  // One character at a time, so that a character beyond 16 bits (two UTF-16 units) still gives
  // one "?"; no best fit, so that a character the code page lacks is never taken for a
  // look-alike ("Ω" is not "O").
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, pos);
    if (c > kLargest16Bit) {
      bytes += kQuestionMark;
      continue;
    }
    const auto wide = static_cast<wchar_t>(c);
    char converted[kMaxCharBytes] = {};
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, converted,
                                         kMaxCharBytes, &kQuestionMark, nullptr);
    if (size > 0) {
      bytes.append(converted, static_cast<std::size_t>(size));
    } else {
      bytes += kQuestionMark;
    }
  }
  return bytes;
}

std::string FromAnsiCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), size);
  return Narrow(wide);
}

}  // namespace vandrel
