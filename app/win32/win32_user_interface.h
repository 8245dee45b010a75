#pragma once

#include <atomic>

#include "platform/user_interface.h"

namespace vandrel {

class ProgressDialog;

// The windowed program's boxes and progress display. Boxes are message boxes captioned
// "Vandrel"; the progress of a send goes to the progress dialog attached for that send. Every
// call may come from the send job's worker thread.
class Win32UserInterface final : public UserInterface {
 public:
  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;
  // A message box with Yes and No.
  bool Ask(std::string_view question) override;

  // The dialog of the running send, or nullptr once it has ended. Progress shown while no
  // dialog is attached goes nowhere.
  void AttachProgressDialog(ProgressDialog* dialog);

 private:
  std::atomic<ProgressDialog*> progressDialog_{nullptr};
};

}  // namespace vandrel
