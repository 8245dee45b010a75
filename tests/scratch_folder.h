#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "platform/utf8_path.h"

namespace vandrel {

// A folder of its own for one test, named so that no other run shares it, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() /
              ("vandrel-" + std::to_string(random()) + "-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` as the file `name` (UTF-8) in the folder; returns its path.
  std::filesystem::path Write(const std::string& name, std::span<const std::uint8_t> bytes) const {
    const std::filesystem::path file = path_ / Utf8Path(name);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  std::filesystem::path Write(const std::string& name, std::string_view text) const {
    return Write(name, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  }

 private:
  std::filesystem::path path_;
};

// The whole of a file's bytes; nothing when it cannot be read.
inline std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace vandrel
