#pragma once

#include <filesystem>
#include <string>

namespace vandrel::sim {

// A symbolic link to the line (a Wine prefix's dosdevices/com5, for one), removed again when the
// simulator ends.
class DeviceLink {
 public:
  DeviceLink() = default;
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Replaces a symbolic link left at `linkPath` by an earlier run, but never another file.
  bool Create(const std::filesystem::path& linkPath, const std::filesystem::path& target,
              std::string& error);

 private:
  std::filesystem::path link_;
  std::filesystem::path target_;
};

}  // namespace vandrel::sim
