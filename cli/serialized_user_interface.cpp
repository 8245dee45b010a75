#include "cli/serialized_user_interface.h"

namespace vandrel {

void SerializedUserInterface::ShowBox(BoxKind kind, std::string_view text) {
  std::lock_guard lock(mutex_);
  inner_.ShowBox(kind, text);
}

void SerializedUserInterface::ShowProgress(std::string_view caption, std::string_view phase) {
  std::lock_guard lock(mutex_);
  inner_.ShowProgress(caption, phase);
}

void SerializedUserInterface::UpdateProgress(std::uint32_t percent, std::string_view line) {
  std::lock_guard lock(mutex_);
  inner_.UpdateProgress(percent, line);
}

void SerializedUserInterface::FinishProgress() {
  std::lock_guard lock(mutex_);
  inner_.FinishProgress();
}

}  // namespace vandrel
