#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace vandrel::sim {

struct ObjectRecord {
  std::uint32_t formatCode = 0;
  std::string title;  // the 8-bit bytes the handset received
  std::uint64_t size = 0;
  std::string sha256;  // lower-case hex
};

inline constexpr std::string_view kManifestName = "manifest.tsv";

// "format \t title \t size \t sha256 \n". The 8-bit title is written as UTF-8, and control
// characters (which would break the line) become "?".
std::string ManifestLine(const ObjectRecord& record);

// The handset's memory: each received object becomes file object-NNNN.bin in the folder, where
// NNNN is the number of its line in manifest.tsv. Bytes go to disk as they arrive and are moved
// into place only when the whole object was accepted.
class ObjectStore {
 public:
  // An empty folder keeps nothing; objects are then only fingerprinted.
  explicit ObjectStore(std::filesystem::path folder) : folder_(std::move(folder)) {}
  // An object still arriving when the simulator ends (a hang-up, a stop signal) is not kept.
  ~ObjectStore() {
    if (incoming_.is_open()) Discard();
  }
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  bool Prepare(std::string& error);
  bool Begin();
  bool Append(std::span<const std::uint8_t> bytes);
  // Returns the stored file's path (empty when nothing is kept); false when writing failed.
  bool Commit(const ObjectRecord& record, std::filesystem::path& storedAs);
  void Discard();

 private:
  std::filesystem::path IncomingPath() const;

  std::filesystem::path folder_;
  std::ofstream incoming_;
  std::uint32_t storedCount_ = 0;
};

}  // namespace vandrel::sim
