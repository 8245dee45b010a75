#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "platform/registry_tree.h"

namespace vandrel {

// The POSIX store: one INI file per user (platform/ini_registry_text.h), which the user may edit.
// Reading never creates, moves or writes anything. A change locks the folder's lock file, reads
// the file again, applies itself and replaces the file by renaming a completed temporary file
// (created exclusively, never through a link) over it, so that neither a crash nor another
// process saving at the same moment leaves a torn or mixed file. While there is no INI file, the
// settings of the earlier file ("registry", beside it) are read, and the first change writes them
// into the INI file; the earlier file is left as it is.
// A file that cannot be read (its permissions) reads as empty, is never written, and is reported
// once; a file that is not a settings file reads as empty and is reported, and the first change
// moves it aside under a "damaged" name, reported with both paths, before saving.
class FileRegistryStore final : public MemoryRegistryStore {
 public:
  explicit FileRegistryStore(std::filesystem::path folder);

  // $XDG_CONFIG_HOME/kesta, or ~/.config/kesta.
  static std::filesystem::path DefaultFolder();
  const std::filesystem::path& FilePath() const { return file_; }
  // `report` is given each problem with the file as one English sentence, each one once.
  void ReportProblemsTo(std::function<void(const std::string&)> report);

 private:
  bool Transact(bool changes, const std::function<bool(RegistryTree&)>& operation) override;
  // Reads the file into `tree_`; false when it must not be written (it cannot be read, or a
  // damaged file could not be moved aside). Only `forChange` moves a damaged file aside.
  bool Load(bool forChange);
  void LoadLegacy();
  bool Save();
  void Report(const std::string& sentence);

  std::filesystem::path folder_;
  std::filesystem::path file_;
  std::filesystem::path legacyFile_;
  std::filesystem::path lockFile_;
  std::mutex mutex_;
  std::function<void(const std::string&)> report_;
  std::set<std::string> reported_;
};

// The platform's own store, as its file store.
FileRegistryStore& PlatformFileRegistryStore();

}  // namespace vandrel
