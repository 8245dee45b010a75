#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "cli/file_replacement.h"

namespace vandrel {

namespace {

constexpr mode_t kNewFileMode = 0666;

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    // a full disk or a file size limit shows as a short write, or as an error on the next one
    if (done <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(done));
  }
  return true;
}

}  // namespace

bool WriteNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                  const std::filesystem::path& like, std::string& problem) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) {
    problem = std::generic_category().message(errno);
    return false;
  }
  // the file it replaces keeps its permissions
  struct stat old {};
  if (::stat(like.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  errno = 0;
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  if (written && closed) return true;
  problem = writeError != 0 ? std::generic_category().message(writeError)
                            : "it could not be written to its end";
  ::unlink(path.c_str());
  return false;
}

}  // namespace vandrel
