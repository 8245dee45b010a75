#include "cli/option_words.h"

#include <CLI/CLI.hpp>

#include "app/object_kinds.h"
#include "platform/format_text.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

const std::map<std::string, int>& KindWords() {
  static const std::map<std::string, int> words{
      {"graphic", kGraphic}, {"sound", kSound}, {"animation", kAnimation}, {"vcard", kVCard}};
  return words;
}

const std::map<std::string, int>& LanguageWords() {
  static const std::map<std::string, int> words{{"en", kEnglish}, {"fr", kFrench}};
  return words;
}

const std::map<std::string, int>& SwitchWords() {
  static const std::map<std::string, int> words{{"off", 0}, {"on", 1}};
  return words;
}

std::string WordOf(const std::map<std::string, int>& words, int number) {
  for (const auto& [word, value] : words)
    if (value == number) return word;
  return "?";
}

CLI::Option* AddWordOption(CLI::App& command, const std::string& name, std::optional<int>& value,
                           const std::map<std::string, int>& words, const std::string& help) {
  std::string shown;
  for (const auto& [word, number] : words) shown += (shown.empty() ? "" : "|") + word;
  return command.add_option(name, value, help)
      ->transform(CLI::CheckedTransformer(words))
      ->option_text(shown);
}

std::string KindsFooter() {
  const ObjectKindList kinds;
  std::string text = "Kinds and the formats each accepts:\n";
  for (int kind = kGraphic; kind <= kVCard; ++kind)
    text += FormatText("  %-10s %s\n", WordOf(KindWords(), kind).c_str(),
                       kinds.Row(kind).formats.c_str());
  return text;
}

}  // namespace vandrel
