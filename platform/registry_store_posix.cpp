#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/file_registry_store.h"

namespace vandrel {

namespace {

constexpr const char* kStoreFileName = "registry";
constexpr const char* kLockFileName = "registry.lock";

// Holds an exclusive lock on the store folder's lock file for its lifetime.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& lockFile)
      : fd_(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::filesystem::path folder)
    : folder_(std::move(folder)),
      file_(folder_ / kStoreFileName),
      lockFile_(folder_ / kLockFileName) {}

std::filesystem::path FileRegistryStore::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::filesystem::path(config) / "kesta";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : ".") / ".config" / "kesta";
}

bool FileRegistryStore::Transact(bool changes,
                                 const std::function<bool(RegistryTree&)>& operation) {
  std::lock_guard guard(mutex_);
  std::error_code error;
  // reading a store that was never written makes nothing in the user's home
  if (!changes && !std::filesystem::exists(folder_, error)) {
    tree_ = RegistryTree();
    return operation(tree_);
  }
  std::filesystem::create_directories(folder_, error);
  FolderLock lock(lockFile_);
  if (!lock.Held()) {
    // No folder to lock in (read-only home): the store still works for reading, as empty.
    tree_ = RegistryTree();
    return !changes && operation(tree_);
  }
  if (!Load()) return !changes && operation(tree_);
  if (!operation(tree_)) return false;
  return !changes || Save();
}

bool FileRegistryStore::Load() {
  tree_ = RegistryTree();
  std::error_code error;
  if (!std::filesystem::exists(file_, error)) return true;
  std::ifstream in(file_, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (in && !in.bad()) {
    if (auto parsed = RegistryTree::Parse(text.str())) {
      tree_ = std::move(*parsed);
      return true;
    }
  }
  const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  std::filesystem::path aside = file_;
  aside += ".damaged-" + std::to_string(stamp) + "-" + std::to_string(::getpid());
  std::filesystem::rename(file_, aside, error);
  return !error;
}

bool FileRegistryStore::Save() {
  std::filesystem::path temporary = file_;
  temporary += ".tmp-" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, tree_.Serialize()) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  std::error_code error;
  if (written && closed) std::filesystem::rename(temporary, file_, error);
  if (!written || !closed || error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

RegistryStore& PlatformRegistryStore() {
  static FileRegistryStore store(FileRegistryStore::DefaultFolder());
  return store;
}

}  // namespace vandrel
