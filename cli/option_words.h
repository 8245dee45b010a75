#pragma once

#include <map>
#include <optional>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace vandrel {

// The words the command line takes for object kinds and languages, and shows them as.
const std::map<std::string, int>& KindWords();
const std::map<std::string, int>& LanguageWords();
const std::map<std::string, int>& SwitchWords();
// The word of a number of the map; "?" for a number it does not hold.
std::string WordOf(const std::map<std::string, int>& words, int number);

// Adds --NAME taking one of `words`, shown in --help as WORDS ("graphic|sound|...").
CLI::Option* AddWordOption(CLI::App& command, const std::string& name, std::optional<int>& value,
                           const std::map<std::string, int>& words, const std::string& help);

// The accepted extensions of each kind, as the window's Format line gives them, for a footer.
std::string KindsFooter();

}  // namespace vandrel
