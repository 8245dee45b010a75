#include "handset/adpcm_record.h"
#include "handset/handset_link.h"
#include "objects/media_file.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"
#include "runtime/progress_display.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::string_view kVerboseErrors = "AT+CMEE=1\r";
constexpr std::string_view kSimCheck = "AT&K3\r";
constexpr std::string_view kFreeMemory = "AT+KDOBJ?\r";
constexpr std::string_view kOpenSession = "AT+KDOBJ=1,1\r";
constexpr const char* kTitleCommand = "AT+KDOBJ=2,1,3,0,%d\r";
constexpr const char* kObjectCommand = "AT+KDOBJ=2,1,0,%d,%d\r";
constexpr std::string_view kCloseSession = "AT+KDOBJ=1,0\r";

void ClearEvent(Event& event) {
  event = Event{kEventNothing, 0, 0, {}, {}};
}

}  // namespace

void HandsetLink::ChooseRendition(bool adpcmRendition) {
  bool accepts = true;
  if (adpcmRendition) ReadAdpcmRecord(imei, accepts);
  useAdpcm = adpcmRendition && accepts;
}

void HandsetLink::Download(const MediaFile& file, std::string_view displayName,
                           ProgressDisplay& progress) {
  Transfer end = TransferObject(file, displayName, progress);
  // a handset that refuses the ADPCM rendition gets the PCM one, once
  if (end == Transfer::kRenditionRefused) {
    WriteAdpcmRecord(imei, false);
    useAdpcm = false;
    ClearEvent(currentEvent);
    // the refused rendition may still be partly queued; the retry's commands go first
    SerialDiscardOutput(port);
    end = TransferObject(file, displayName, progress);
  }
  if (end != Transfer::kSent) ReportEvent(currentEvent, {});
}

HandsetLink::Transfer HandsetLink::TransferObject(const MediaFile& file,
                                                  std::string_view displayName,
                                                  ProgressDisplay& progress) {
  Event& event = currentEvent;
  AnswerStatus& status = downloadStatus;
  const auto exchangeCommand = [&](std::string_view command) {
    return SendBytes(command, event) && AwaitAnswer(command.size(), status, event);
  };
  const auto sendData = [&](std::span<const std::uint8_t> bytes) {
    return SendBytes(bytes, event) && AwaitAnswer(bytes.size(), status, event);
  };

  const bool sendConverted = useAdpcm && file.isConverted();
  const std::span<const std::uint8_t> data = sendConverted ? file.converted() : file.data();
  const int phase = !file.isConverted() ? TXT_IN_PROGRESS
                    : useAdpcm          ? TXT_LOADING_ADPCM
                                        : TXT_LOADING_PCM;
  const auto size = static_cast<std::int32_t>(data.size());
  const std::uint64_t sentBefore = SerialBytesWritten(port);
  progress.Begin(displayName, phase, static_cast<std::uint32_t>(size),
                 [this, sentBefore] { return SerialBytesWritten(port) - sentBefore; });

  if (!exchangeCommand(kVerboseErrors)) return Transfer::kFailed;
  if (!exchangeCommand(kSimCheck)) {
    // a handset without a SIM card refuses the command without a code of its own
    if (event.code == kEventUnexpectedResponse) event.code = kEventNoSim;
    return Transfer::kFailed;
  }
  if (!exchangeCommand(kFreeMemory)) return Transfer::kFailed;
  if (status.value < size) {
    event.code = kEventPhoneMemoryLow;
    return Transfer::kFailed;
  }
  if (!exchangeCommand(kOpenSession)) return Transfer::kFailed;
  if (!file.title().empty()) {
    const std::string titleCommand =
        FormatText(kTitleCommand, static_cast<int>(file.title().size()));
    if (!exchangeCommand(titleCommand) || !sendData(file.title())) return Transfer::kFailed;
  }
  const std::string objectCommand = FormatText(kObjectCommand, file.formatCode(), size);
  if (!exchangeCommand(objectCommand) || !sendData(data)) {
    const bool refused = event.code == kEventObjectUnsupported && sendConverted;
    return refused ? Transfer::kRenditionRefused : Transfer::kFailed;
  }
  if (!SendBytes(kCloseSession, event)) return Transfer::kFailed;
  return Transfer::kSent;
}

}  // namespace vandrel
