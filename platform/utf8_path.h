#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vandrel {

// A file-system path from the program's UTF-8 text. Windows paths are UTF-16 underneath, so the
// text is decoded there; elsewhere the bytes are the path.
inline std::filesystem::path Utf8Path(std::string_view utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(std::string(utf8));
#endif
}

// The program's UTF-8 text for a file-system path.
inline std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace vandrel
