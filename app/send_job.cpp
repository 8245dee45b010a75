#include "app/send_job.h"

#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// The longest the Send command's progress loop is given to start before the first Begin.
constexpr std::uint32_t kStartPauseMs = 500;
constexpr std::uint32_t kFullBarPauseMs = 100;
constexpr std::uint32_t kAfterClosePauseMs = 100;
// The longest a kept link waits for the answer to the last file's closing command.
constexpr std::uint32_t kClosingAnswerWaitMs = 500;
constexpr std::uint16_t kLowestTitleChar = 32;
constexpr std::uint16_t kHighestTitleChar = 255;
constexpr std::uint16_t kReplacementChar = '?';

}  // namespace

bool PrepareSend(AppState& state, std::size_t cleanedTitleLength, const ObjectKindRow& row,
                 std::string_view filePath) {
  state.titleLength = static_cast<std::uint8_t>(cleanedTitleLength);
  // the handset's title is 8-bit; the length never exceeds the 20 stored characters
  const std::size_t used = std::min<std::size_t>(state.titleLength, kMaxTitleChars);
  for (std::size_t i = 0; i < used; ++i) {
    std::uint16_t& c = state.titleChars[i];
    if (c < kLowestTitleChar || c > kHighestTitleChar) c = kReplacementChar;
  }
  state.currentObjectType = &row;
  state.filePath = std::string(filePath);
  return !state.filePath.empty();
}

bool LoadObjectFile(const AppState& state, MediaFile& file, UserInterface& ui, EventLog& log,
                    bool fitting) {
  log.Begin();
  const std::size_t titleLength = std::min<std::size_t>(state.titleLength, kMaxTitleChars);
  return file.LoadAndValidate(state.filePath, state.ObjectKindOfSend(),
                              std::span(state.titleChars).first(titleLength), ui, log, fitting);
}

SendOutcome UnsentOutcome(const AppState& state, const EventLog& log) {
  return {.events = log.Entries(),
          .port = state.portSelection != nullptr ? state.portSelection->port : 0};
}

SendOutcome RunSendJob(const SendContext& send, const MediaFile& file, std::string_view displayName,
                       std::unique_ptr<HandsetLink>* keptLink) {
  const AppState& state = send.state;
  SendFrontEnd& frontEnd = send.frontEnd;
  frontEnd.ObjectLoaded(file);
  const WaitPolicy waits = send.Waits();
  waits.Pause(kStartPauseMs, send.clock,
              [&frontEnd](std::uint32_t maxMs) { frontEnd.AwaitProgressLoop(maxMs); });
  // the file's name and size from the start, not only once the download has begun
  send.progress.Begin(displayName, TXT_TRANSFER_INIT,
                      static_cast<std::uint32_t>(file.data().size()));
  const int port = state.portSelection != nullptr ? state.portSelection->port : 1;
  // declared before the link, so that the stop is lifted only once the link has closed the port
  const SendStop::OnPort stoppable(send.stop, port);
  std::unique_ptr<HandsetLink> link;
  if (keptLink != nullptr && *keptLink && (*keptLink)->connected) {
    link = std::move(*keptLink);
    link->DropLateAnswer(kClosingAnswerWaitMs);
    // a handset unplugged or swapped since the last file is closed and detected afresh
    if (!link->SameHandset()) link.reset();
  }
  if (!link) {
    if (keptLink != nullptr) keptLink->reset();
    link = std::make_unique<HandsetLink>(send.Link(), port, send.lineSpeeds);
  }
  const bool found = link->connected && send.log.ErrorCount() == 0;
  if (found)
    link->ChooseRendition(file.isConverted() && state.currentObjectType != nullptr &&
                          state.currentObjectType->kind == kSound);
  std::uint64_t bytesSent = 0;
  if (!send.stop.Requested()) {
    if (found) frontEnd.HandsetFound(port, link->lineSpeed);
    frontEnd.StartProgressFeed(send.progress);
    const std::uint64_t writtenBefore = SerialBytesWritten(port);
    link->Download(file, displayName, send.progress);
    bytesSent = SerialBytesWritten(port) - writtenBefore;
    frontEnd.StopProgressFeed();
  }
  // a stopped send's bar is not shown full
  if (send.stop.Requested()) {
    send.progress.Stop();
  } else {
    send.progress.Finish();
  }
  // a stopped send ends at once
  const bool dialogPauses =
      (waits.KeepsDialogPauses() || frontEnd.ShowsProgressDialog()) && !send.stop.Requested();
  if (dialogPauses) send.clock.Sleep(kFullBarPauseMs);
  const bool succeeded = send.log.Close() == 0 && !send.stop.Requested();
  if (succeeded) ShowNotice(send.ui, GetText(TXT_DOWNLOAD_OK));
  frontEnd.CloseProgress();
  if (dialogPauses) send.clock.Sleep(kAfterClosePauseMs);
  const SendOutcome outcome{.succeeded = succeeded,
                            .events = send.log.Entries(),
                            .port = port,
                            .lineSpeed = found ? link->lineSpeed : 0,
                            .bytesSent = bytesSent,
                            .adpcm = link->useAdpcm && file.isConverted()};
  if (succeeded && keptLink != nullptr) *keptLink = std::move(link);
  return outcome;
}

}  // namespace vandrel
