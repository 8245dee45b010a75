#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/file_registry_store.h"
#include "platform/ini_registry_text.h"
#include "platform/legacy_registry_text.h"

namespace vandrel {

namespace {

constexpr const char* kStoreFileName = "vandrel.ini";
constexpr const char* kLegacyFileName = "registry";
constexpr const char* kLockFileName = "vandrel.lock";

// Holds an exclusive lock on the store folder's lock file for its lifetime.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& lockFile)
      : fd_(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
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

// The whole file, or the errno of the open or the read that failed.
struct FileText {
  std::string text;
  int error = 0;
};

FileText ReadFile(const std::filesystem::path& path) {
  FileText result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.error = errno;
    return result;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) result.error = errno;
    if (got <= 0) break;
    result.text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return result;
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::filesystem::path folder)
    : folder_(std::move(folder)),
      file_(folder_ / kStoreFileName),
      legacyFile_(folder_ / kLegacyFileName),
      lockFile_(folder_ / kLockFileName) {}

std::filesystem::path FileRegistryStore::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::filesystem::path(config) / "kesta";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : ".") / ".config" / "kesta";
}

void FileRegistryStore::ReportProblemsTo(std::function<void(const std::string&)> report) {
  std::lock_guard guard(mutex_);
  report_ = std::move(report);
  reported_.clear();
}

void FileRegistryStore::Report(const std::string& sentence) {
  if (report_ && reported_.insert(sentence).second) report_(sentence);
}

bool FileRegistryStore::Transact(bool changes,
                                 const std::function<bool(RegistryTree&)>& operation) {
  std::lock_guard guard(mutex_);
  if (!changes) {
    Load(false);
    return operation(tree_);
  }
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  FolderLock lock(lockFile_);
  // no folder to lock in (a read-only home): nothing can be saved
  if (!lock.Held() || !Load(true)) return false;
  return operation(tree_) && Save();
}

bool FileRegistryStore::Load(bool forChange) {
  tree_ = RegistryTree();
  const FileText file = ReadFile(file_);
  if (file.error == ENOENT) {
    LoadLegacy();
    return true;
  }
  if (file.error != 0) {
    Report("The settings file " + file_.string() + " cannot be read (" + std::strerror(file.error) +
           "): the default settings are used and the file is left " + "as it is.");
    return false;
  }
  auto parsed = RegistryTreeFromIni(file.text);
  if (auto* tree = std::get_if<RegistryTree>(&parsed)) {
    tree_ = std::move(*tree);
    return true;
  }
  const std::string fault = "The settings file " + file_.string() + " is not a settings file " +
                            "(line " + std::to_string(std::get<IniFault>(parsed).line) + ")";
  if (!forChange) {
    Report(fault + ": the default settings are used until a setting is saved, which sets the " +
           "file aside.");
    return true;
  }
  const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  std::filesystem::path aside = file_;
  aside += ".damaged-" + std::to_string(stamp) + "-" + std::to_string(::getpid());
  std::error_code error;
  std::filesystem::rename(file_, aside, error);
  if (error) {
    Report(fault + " and cannot be set aside as " + aside.string() + " (" + error.message() +
           "): no setting is saved.");
    return false;
  }
  Report(fault + ": it was set aside as " + aside.string() + " and the default settings are used.");
  return true;
}

void FileRegistryStore::LoadLegacy() {
  const FileText legacy = ReadFile(legacyFile_);
  if (legacy.error != 0) return;
  if (auto tree = ReadLegacyRegistryText(legacy.text)) tree_ = std::move(*tree);
}

bool FileRegistryStore::Save() {
  const auto text = RegistryTreeToIni(tree_);
  if (!text) return false;
  std::filesystem::path temporary = file_;
  temporary += ".tmp-" + std::to_string(::getpid());
  const auto create = [&] {
    return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  };
  int fd = create();
  // what a crashed process of the same number left behind (a link is removed, not followed)
  if (fd < 0 && errno == EEXIST && ::unlink(temporary.c_str()) == 0) fd = create();
  if (fd < 0) return false;
  const bool written = WriteAll(fd, *text) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  std::error_code error;
  if (written && closed) std::filesystem::rename(temporary, file_, error);
  if (!written || !closed || error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

FileRegistryStore& PlatformFileRegistryStore() {
  static FileRegistryStore store(FileRegistryStore::DefaultFolder());
  return store;
}

RegistryStore& PlatformRegistryStore() {
  return PlatformFileRegistryStore();
}

}  // namespace vandrel
