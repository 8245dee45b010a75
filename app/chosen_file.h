#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// The parts of a chosen file's path that the object title and the extension check use.
struct ChosenFile {
  std::string path;
  std::string name;       // with its extension, without its folder
  std::string title;      // the name without its last dot and extension
  std::string extension;  // after the name's last dot; empty when the name has none
  std::string folder;     // the path without its file part and the separator before it
};

// Splits a path whose folders are separated by "\" or "/".
ChosenFile SplitChosenFile(std::string_view path);

}  // namespace vandrel
