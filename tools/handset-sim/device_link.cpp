#include "tools/handset-sim/device_link.h"

namespace vandrel::sim {

bool DeviceLink::Create(const std::filesystem::path& linkPath, const std::filesystem::path& target,
                        std::string& error) {
  std::error_code status;
  const auto existing = std::filesystem::symlink_status(linkPath, status);
  if (std::filesystem::is_symlink(existing)) {
    std::filesystem::remove(linkPath, status);
  } else if (std::filesystem::exists(existing)) {
    error = linkPath.string() + " exists and is not a symbolic link";
    return false;
  }
  std::filesystem::create_symlink(target, linkPath, status);
  if (status) {
    error = "cannot link " + linkPath.string() + ": " + status.message();
    return false;
  }
  link_ = linkPath;
  target_ = target;
  return true;
}

DeviceLink::~DeviceLink() {
  if (link_.empty()) return;
  // Leave the link alone if another simulator has taken the name over meanwhile.
  std::error_code status;
  if (std::filesystem::read_symlink(link_, status) == target_ && !status) {
    std::filesystem::remove(link_, status);
  }
}

}  // namespace vandrel::sim
