#include "cli/batch_report.h"

#include "app/chosen_file.h"
#include "cli/console_lines.h"
#include "cli/option_words.h"
#include "objects/media_file.h"
#include "platform/format_text.h"
#include "runtime/app_state.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

bool IsFailure(BoxKind kind) {
  return kind == BoxKind::kError || kind == BoxKind::kWarning;
}

std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

std::string DownloadLine(const AppState& state, const MediaFile& media, int port,
                         std::int32_t speed) {
  const int kind = state.ObjectKindOfSend();
  // a picture fitted in another format is named by the format that goes
  std::string extension = SplitChosenFile(state.filePath).extension;
  if (kind == kGraphic && ClassifyGraphic(state.filePath) != media.formatCode())
    extension = GraphicExtension(media.formatCode());
  std::string line =
      FormatText("%s %s, %d bytes", WordOf(KindWords(), kind).c_str(), UpperCase(extension).c_str(),
                 static_cast<int>(media.data().size()));
  if (media.isConverted())
    line += FormatText(" (ADPCM rendition %d bytes)", static_cast<int>(media.converted().size()));
  return line + FormatText(", to COM%d (%s) at %d bit/s", port, SerialDevicePath(port).c_str(),
                           static_cast<int>(speed));
}

BatchReport::BatchReport(UserInterface& console, const AppState& state, bool quiet)
    : console_(console), state_(state), quiet_(quiet) {}

void BatchReport::ShowBox(BoxKind kind, std::string_view text) {
  if (quiet_ && !IsFailure(kind)) return;
  console_.ShowBox(kind, ConsoleLines(text, state_.filePath));
}

void BatchReport::ShowProgress(std::string_view caption, std::string_view phase) {
  if (!quiet_) console_.ShowProgress(caption, phase);
}

void BatchReport::UpdateProgress(std::uint32_t percent, std::string_view line) {
  if (!quiet_) console_.UpdateProgress(percent, line);
}

void BatchReport::FinishProgress() {
  if (!quiet_) console_.FinishProgress();
}

void BatchReport::HandsetFound(int port, std::int32_t lineSpeed) {
  if (!quiet_ && object_ != nullptr)
    ShowBox(BoxKind::kPlain, DownloadLine(state_, *object_, port, lineSpeed));
}

void BatchReport::StartProgressFeed(ProgressDisplay& progress) {
  if (!quiet_) ticker_.StartProgressFeed(progress);
}

void BatchReport::StopProgressFeed() {
  ticker_.StopProgressFeed();
}

void BatchReport::Summarize(const BatchResult& result) {
  if (!quiet_)
    console_.ShowBox(BoxKind::kPlain,
                     FormatText("%d sent, %d failed", result.Sent(), result.Failed()));
}

}  // namespace vandrel
