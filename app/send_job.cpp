#include "app/send_job.h"

#include "handset/adpcm_record.h"
#include "handset/handset_link.h"
#include "objects/event_table.h"
#include "objects/media_file.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"
#include "runtime/progress_display.h"

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

bool PrepareSend(std::size_t cleanedTitleLength, const ObjectKindRow& row,
                 std::string_view filePath) {
  AppState& state = TheAppState();
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

bool LoadObjectFile() {
  ResetEventLog();
  return TheMediaFile().LoadAndValidate();
}

bool RunSendJob(LineSpeeds& lineSpeeds, std::string_view displayName, SendFrontEnd& frontEnd,
                std::unique_ptr<HandsetLink>* keptLink) {
  AppState& state = TheAppState();
  const MediaFile& file = TheMediaFile();
  if (state.patientWaits) {
    TheClock().Sleep(kStartPauseMs);
  } else {
    frontEnd.AwaitProgressLoop(kStartPauseMs);
  }
  // the file's name and size from the start, not only once the download has begun
  BeginProgress(displayName, TXT_TRANSFER_INIT, static_cast<std::uint32_t>(file.data().size()));
  std::unique_ptr<HandsetLink> link;
  if (keptLink != nullptr && *keptLink && (*keptLink)->connected) {
    link = std::move(*keptLink);
    link->DropLateAnswer(kClosingAnswerWaitMs);
  } else {
    if (keptLink != nullptr) keptLink->reset();
    link = std::make_unique<HandsetLink>(lineSpeeds);
  }
  if (link->connected && ErrorCount() == 0) {
    link->SetUseAdpcm(false);
    if (file.isConverted() && state.currentObjectType != nullptr &&
        state.currentObjectType->kind == kSound) {
      bool accepts = true;
      ReadAdpcmRecord(link->GetImei(), accepts);
      link->SetUseAdpcm(accepts);
    }
  }
  frontEnd.StartProgressFeed();
  state.sending = true;
  link->Download(file, displayName);
  state.sending = false;
  frontEnd.StopProgressFeed();
  FinishProgress();
  const bool dialogPauses = state.patientWaits || frontEnd.ShowsProgressDialog();
  if (dialogPauses) TheClock().Sleep(kFullBarPauseMs);
  const bool succeeded = CloseEventLog() == 0;
  if (succeeded) ShowNotice(GetText(TXT_DOWNLOAD_OK));
  frontEnd.CloseProgress();
  if (dialogPauses) TheClock().Sleep(kAfterClosePauseMs);
  if (succeeded && keptLink != nullptr) *keptLink = std::move(link);
  return succeeded;
}

}  // namespace vandrel
