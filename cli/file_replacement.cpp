#include "cli/file_replacement.h"

#include <atomic>
#include <fstream>
#include <random>
#include <system_error>

namespace vandrel {

namespace {

// Names already taken beside the file (a run killed half-way, another run at the same time) are
// skipped; past this many the folder is taken as unwritable.
constexpr int kTemporaryNameTries = 16;

std::filesystem::path TemporaryBeside(const std::filesystem::path& target, int attempt) {
  static std::atomic<unsigned> serial{std::random_device{}()};
  std::filesystem::path temporary = target;
  temporary += ".new-" + std::to_string(serial++) + "-" + std::to_string(attempt);
  return temporary;
}

bool WriteInto(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
               std::string& problem) {
  std::filebuf file;
  const auto size = static_cast<std::streamsize>(bytes.size());
  if (file.open(target, std::ios::out | std::ios::binary) == nullptr) {
    problem = "it could not be opened";
    return false;
  }
  const bool written = file.sputn(reinterpret_cast<const char*>(bytes.data()), size) == size;
  if (file.close() != nullptr && written) return true;
  problem = "it could not be written to its end";
  return false;
}

}  // namespace

bool ReplaceFileWith(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     std::string& problem) {
  std::error_code error;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, error)) {
    const std::filesystem::path named = std::filesystem::weakly_canonical(path, error);
    if (!error) target = named;
  }
  const std::filesystem::file_status status = std::filesystem::status(target, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    return WriteInto(target, bytes, problem);

  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    const std::filesystem::path temporary = TemporaryBeside(target, attempt);
    if (std::filesystem::exists(temporary, error)) continue;
    if (!WriteNewFile(temporary, bytes, target, problem)) return false;
    std::filesystem::rename(temporary, target, error);
    if (!error) return true;
    problem = error.message();
    std::filesystem::remove(temporary, error);
    return false;
  }
  problem = "no new file could be made beside it";
  return false;
}

}  // namespace vandrel
