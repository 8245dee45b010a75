#include <windows.h>

#include <system_error>

#include "cli/file_replacement.h"

namespace vandrel {

namespace {

constexpr DWORD kLargestWrite = 1u << 30;

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD wanted =
        bytes.size() < kLargestWrite ? static_cast<DWORD>(bytes.size()) : kLargestWrite;
    DWORD done = 0;
    if (!WriteFile(file, bytes.data(), wanted, &done, nullptr) || done == 0) return false;
    bytes = bytes.subspan(done);
  }
  return true;
}

}  // namespace

bool WriteNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                  const std::filesystem::path& /*like*/, std::string& problem) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    problem = std::system_category().message(static_cast<int>(GetLastError()));
    return false;
  }
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  const DWORD writeError = written ? 0 : GetLastError();
  const bool closed = CloseHandle(file);
  if (written && closed) return true;
  problem = writeError != 0 ? std::system_category().message(static_cast<int>(writeError))
                            : "it could not be written to its end";
  DeleteFileW(path.c_str());
  return false;
}

}  // namespace vandrel
