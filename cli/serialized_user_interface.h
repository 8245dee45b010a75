#pragma once

#include <mutex>

#include "platform/user_interface.h"

namespace vandrel {

// Lets two threads speak through one interface that is not made for it: the progress ticker
// updates the bar while the send reports on the line, and the two must not draw over each other.
class SerializedUserInterface final : public UserInterface {
 public:
  explicit SerializedUserInterface(UserInterface& inner) : inner_(inner) {}
  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;

 private:
  UserInterface& inner_;
  std::mutex mutex_;
};

}  // namespace vandrel
