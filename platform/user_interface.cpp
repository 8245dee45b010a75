#include "platform/user_interface.h"

namespace vandrel {

void ShowError(UserInterface& ui, std::string_view text) {
  if (!text.empty()) ui.ShowBox(BoxKind::kError, text);
}

void ShowWarning(UserInterface& ui, std::string_view text) {
  ui.ShowBox(BoxKind::kWarning, text);
}

void ShowNotice(UserInterface& ui, std::string_view text) {
  ui.ShowBox(BoxKind::kNotice, text);
}

void ShowPlain(UserInterface& ui, std::string_view text) {
  ui.ShowBox(BoxKind::kPlain, text);
}

void RecordingUserInterface::ShowBox(BoxKind kind, std::string_view text) {
  std::lock_guard lock(mutex_);
  boxes.push_back({kind, std::string(text)});
}

void RecordingUserInterface::ShowProgress(std::string_view caption, std::string_view phase) {
  std::lock_guard lock(mutex_);
  progressCaptions.emplace_back(caption);
  progressPhases.emplace_back(phase);
}

void RecordingUserInterface::UpdateProgress(std::uint32_t percent, std::string_view line) {
  std::lock_guard lock(mutex_);
  percents.push_back(percent);
  progressLines.emplace_back(line);
}

void RecordingUserInterface::FinishProgress() {
  std::lock_guard lock(mutex_);
  ++finishCount;
}

bool RecordingUserInterface::Ask(std::string_view question) {
  std::lock_guard lock(mutex_);
  questions.emplace_back(question);
  return answer;
}

}  // namespace vandrel
