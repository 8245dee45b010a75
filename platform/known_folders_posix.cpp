#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/known_folders.h"

namespace vandrel {

namespace {

struct XdgFolder {
  const char* variable;  // name in user-dirs.dirs
  const char* fallback;  // under the home folder when the file does not name it
};

XdgFolder FolderNames(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kMusic:
      return {"XDG_MUSIC_DIR", "Music"};
    case KnownFolder::kPictures:
      return {"XDG_PICTURES_DIR", "Pictures"};
    case KnownFolder::kDocuments:
      break;
  }
  return {"XDG_DOCUMENTS_DIR", "Documents"};
}

std::string EnvironmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : fallback;
}

// A line XDG_MUSIC_DIR="$HOME/Music" of user-dirs.dirs, with $HOME expanded.
std::string ReadUserDirs(const std::string& configHome, const std::string& home,
                         const char* variable) {
  std::ifstream in(configHome + "/user-dirs.dirs");
  const std::string prefix = std::string(variable) + "=\"";
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with(prefix) || !line.ends_with('"')) continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.starts_with("$HOME")) value = home + value.substr(5);
    return value.starts_with('/') ? value : std::string();
  }
  return {};
}

bool IsFolder(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::is_directory(path, ignored);
}

}  // namespace

// A folder the user does not have is never made for them: the home folder stands in.
std::string KnownFolderPath(KnownFolder folder) {
  const std::string home = EnvironmentOr("HOME", "");
  if (home.empty()) return {};
  const XdgFolder names = FolderNames(folder);
  const std::string configured =
      ReadUserDirs(EnvironmentOr("XDG_CONFIG_HOME", home + "/.config"), home, names.variable);
  if (IsFolder(configured)) return configured;
  const std::string conventional = home + "/" + names.fallback;
  return IsFolder(conventional) ? conventional : home;
}

}  // namespace vandrel
