#pragma once

#include "app/batch_send.h"
#include "cli/progress_ticker.h"
#include "platform/user_interface.h"

namespace vandrel {

// How `send` accounts for a batch on the console. Every message is labelled with the path of the
// file it belongs to, as the user typed it; when a file's download starts, a line names its kind
// and format and the port and speed it goes over; a summary ends the run. Those lines and the
// results go to stdout, failures to stderr, the progress bar to a terminal's stderr; `quiet`
// keeps the failures alone.
class BatchReport final : public UserInterface, public SendFrontEnd {
 public:
  // The file of each message is `state`'s.
  BatchReport(UserInterface& console, const AppState& state, bool quiet);

  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;

  void ObjectLoaded(const MediaFile& file) override { object_ = &file; }
  void HandsetFound(int port, std::int32_t lineSpeed) override;
  void StartProgressFeed(ProgressDisplay& progress) override;
  void StopProgressFeed() override;
  void CloseProgress() override {}

  // "3 sent, 1 failed".
  void Summarize(const BatchResult& result);

 private:
  UserInterface& console_;
  const AppState& state_;
  const bool quiet_;
  ProgressTicker ticker_;
  const MediaFile* object_ = nullptr;
};

// What the download of `file`, `state`'s object, is: "sound WAV, 23084 bytes (ADPCM rendition
// 5848 bytes), to COM3 (/dev/ttyS2) at 115200 bit/s", on `port` at `speed`, the handset's.
std::string DownloadLine(const AppState& state, const MediaFile& file, int port,
                         std::int32_t speed);

}  // namespace vandrel
