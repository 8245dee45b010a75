#include "app/chosen_file.h"

namespace vandrel {

ChosenFile SplitChosenFile(std::string_view path) {
  ChosenFile file;
  file.path = path;
  const std::size_t separator = path.find_last_of("\\/");
  const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  if (separator != std::string_view::npos) file.folder = path.substr(0, separator);
  const std::string_view name = path.substr(nameStart);
  file.name = name;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    file.title = name;
  } else {
    file.title = name.substr(0, dot);
    file.extension = name.substr(dot + 1);
  }
  return file;
}

}  // namespace vandrel
