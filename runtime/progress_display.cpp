#include "runtime/progress_display.h"

#include <algorithm>
#include <string>

#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kFullPercent = 100;
constexpr double kBytesPerKb = 1024.0;

std::string PercentLine(std::uint32_t percent, std::uint32_t total) {
  return FormatText(GetText(TXT_DOWNLOADED_PERCENT).c_str(), static_cast<int>(percent),
                    total / kBytesPerKb);
}

}  // namespace

void ProgressDisplay::Begin(std::string_view displayName, int textId, std::uint32_t total,
                            SentBytes sentBytes) {
  {
    std::lock_guard lock(mutex_);
    total_ = total;
    lastPercent_ = 0;
    sentBytes_ = std::move(sentBytes);
  }
  // the user interface may wait for the thread that ticks: it is called without the lock
  const std::string caption =
      FormatText("%s %s", GetText(TXT_SEND_FILE_TITLE).c_str(), std::string(displayName).c_str());
  ui_.ShowProgress(caption, GetText(textId));
  ui_.UpdateProgress(0, PercentLine(0, total));
}

void ProgressDisplay::Update() {
  std::unique_lock lock(mutex_);
  if (!sentBytes_) return;
  const std::uint64_t sent = sentBytes_();
  // The count takes in the command lines and the title besides the object, so it passes the
  // total at the end; a small object can be in the port's buffers in one go, and its bar must
  // still reach the end. 64-bit product: an object above 42 MB would overflow 32 bits.
  const auto percent = total_ == 0 ? 0u
                                   : static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                         sent * kFullPercent / total_, kFullPercent));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  const std::uint32_t total = total_;
  lock.unlock();
  ui_.UpdateProgress(percent, PercentLine(percent, total));
}

void ProgressDisplay::Finish() {
  std::uint32_t total = 0;
  {
    std::lock_guard lock(mutex_);
    sentBytes_ = {};
    total = total_;
  }
  ui_.UpdateProgress(kFullPercent, PercentLine(kFullPercent, total));
  ui_.FinishProgress();
}

void ProgressDisplay::Stop() {
  std::lock_guard lock(mutex_);
  sentBytes_ = {};
}

}  // namespace vandrel
