#pragma once

#include <filesystem>
#include <string>

#include "platform/registry_tree.h"

namespace vandrel {

// The POSIX store: one file per user, rewritten whole on every change. A change locks the
// folder's lock file, reads the file again, applies itself and replaces the file by renaming a
// completed temporary file over it, so that neither a crash nor another process saving at the
// same moment leaves a torn or mixed file. A file that cannot be read as a whole store is moved
// aside under a "damaged" name and the store starts empty; it is never overwritten. Reading a
// store whose folder does not exist creates nothing.
class FileRegistryStore final : public MemoryRegistryStore {
 public:
  explicit FileRegistryStore(std::filesystem::path folder);

  // $XDG_CONFIG_HOME/kesta, or ~/.config/kesta.
  static std::filesystem::path DefaultFolder();
  const std::filesystem::path& FilePath() const { return file_; }

 private:
  bool Transact(bool changes, const std::function<bool(RegistryTree&)>& operation) override;
  // Reads the file into `tree_`; false when a damaged file could not be moved aside.
  bool Load();
  bool Save();

  std::filesystem::path folder_;
  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  std::mutex mutex_;
};

}  // namespace vandrel
