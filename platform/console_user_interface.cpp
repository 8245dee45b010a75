#include <cctype>
#include <cstdio>
#include <string>

#include "platform/terminal.h"
#include "platform/user_interface.h"

namespace vandrel {

namespace {
constexpr std::uint32_t kBarWidth = 30;

void PrintLine(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}
}  // namespace

void ConsoleUserInterface::ShowBox(BoxKind kind, std::string_view text) {
  // a message in the middle of a phase takes the bar's line; the next update draws it again below
  if (barShown_) {
    std::fputs("\r\x1b[K", stderr);
    barShown_ = false;
  }
  const bool toStderr = kind == BoxKind::kError || kind == BoxKind::kWarning;
  PrintLine(toStderr ? stderr : stdout, text);
}

void ConsoleUserInterface::ShowProgress(std::string_view, std::string_view phase) {
  phase_ = std::string(phase);
  DrawBar(0, "");
}

void ConsoleUserInterface::UpdateProgress(std::uint32_t percent, std::string_view line) {
  DrawBar(percent, line);
}

void ConsoleUserInterface::FinishProgress() {
  if (!barShown_) return;
  std::fputc('\n', stderr);
  std::fflush(stderr);
  barShown_ = false;
}

// Asked again until the line starts with y or n; the end of the input is a no.
bool ConsoleUserInterface::Ask(std::string_view question) {
  if (!IsTerminal(stdin)) return false;
  for (;;) {
    std::fwrite(question.data(), 1, question.size(), stdout);
    std::fputs(" [y/n] ", stdout);
    std::fflush(stdout);
    std::string line;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
      line += static_cast<char>(c);
    if (std::feof(stdin)) return false;
    const int first = line.empty() ? 0 : std::tolower(static_cast<unsigned char>(line[0]));
    if (first == 'y') return true;
    if (first == 'n') return false;
  }
}

void ConsoleUserInterface::DrawBar(std::uint32_t percent, std::string_view line) {
  if (!IsTerminal(stderr)) return;
  const std::uint32_t filled = (percent > 100 ? 100 : percent) * kBarWidth / 100;
  std::string bar(filled, '#');
  bar.append(kBarWidth - filled, '.');
  std::fprintf(stderr, "\r%-44.44s [%s] %.*s\x1b[K", phase_.c_str(), bar.c_str(),
               static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
  barShown_ = true;
}

}  // namespace vandrel
