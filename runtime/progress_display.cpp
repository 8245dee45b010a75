#include "runtime/progress_display.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kFullPercent = 100;
constexpr double kBytesPerKb = 1024.0;

struct ProgressState {
  std::atomic<std::uint32_t> total{0};
  std::atomic<std::uint32_t> lastPercent{0};
};

ProgressState progress;

std::string PercentLine(std::uint32_t percent) {
  return FormatText(GetText(TXT_DOWNLOADED_PERCENT).c_str(), static_cast<int>(percent),
                    progress.total / kBytesPerKb);
}

}  // namespace

void BeginProgress(std::string_view displayName, int textId, std::uint32_t total) {
  progress.total = total;
  progress.lastPercent = 0;
  const std::string caption =
      FormatText("%s %s", GetText(TXT_SEND_FILE_TITLE).c_str(), std::string(displayName).c_str());
  UserInterface& ui = TheUserInterface();
  ui.ShowProgress(caption, GetText(textId));
  ui.UpdateProgress(0, PercentLine(0));
}

void UpdateProgress() {
  const AppState& state = TheAppState();
  if (!state.sending) return;
  const std::uint32_t sent = state.bytesSent;
  const std::uint32_t total = progress.total;
  // The count takes in the command lines and the title besides the object, so it passes the
  // total at the end; a small object can be in the port's buffers in one go, and its bar must
  // still reach the end. 64-bit product: an object above 42 MB would overflow 32 bits.
  const auto percent = total == 0 ? 0u
                                  : static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                        std::uint64_t{sent} * kFullPercent / total, kFullPercent));
  if (percent == progress.lastPercent) return;
  progress.lastPercent = percent;
  TheUserInterface().UpdateProgress(percent, PercentLine(percent));
}

void FinishProgress() {
  UserInterface& ui = TheUserInterface();
  ui.UpdateProgress(kFullPercent, PercentLine(kFullPercent));
  ui.FinishProgress();
}

}  // namespace vandrel
