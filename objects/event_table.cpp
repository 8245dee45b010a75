#include "objects/event_table.h"

#include <memory>
#include <optional>

#include "platform/format_text.h"

namespace vandrel {

namespace {

constexpr const char* kErrorPrefix = "%s 0x%2.2X : ";
constexpr std::uint8_t kUnfilledMarker = 0;
constexpr std::uint8_t kSlotZeroMarker = 255;

constexpr std::int32_t kClassNotice = 0;
constexpr std::int32_t kClassError = kEventClassError;

// One filled row: either a catalogue text (for both the message and the report) or a fixed
// report line with no message. A field a row leaves out is empty, none or false.
struct EventRow {
  std::uint8_t code;
  std::int32_t eventClass;
  std::optional<int> text = std::nullopt;
  const char* fixedReport = nullptr;
  std::int32_t args = kArgsNone;
  bool show = false;     // the message is shown to the user
  bool count = false;    // an error is counted
  bool log = false;      // the event goes into the log
  bool repeats = false;  // logged again when it is already there
};

constexpr EventRow kRows[] = {
    {.code = kEventPortUnavailable,
     .eventClass = kClassError,
     .text = TXT_PORT_UNAVAILABLE,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventConnectFailed,
     .eventClass = kClassError,
     .text = TXT_CONNECT_FAILED_SPEED,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPhoneStorageFull,
     .eventClass = kClassError,
     .text = TXT_PHONE_STORAGE_FULL,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPhoneMemoryLow,
     .eventClass = kClassError,
     .text = TXT_PHONE_MEMORY_LOW,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPrematureEnd,
     .eventClass = kClassError,
     .text = TXT_PREMATURE_END,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventWrongPortParams,
     .eventClass = kClassError,
     .text = TXT_WRONG_PORT_PARAMS,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventBufferAllocFailed,
     .eventClass = kClassError,
     .text = TXT_BUFFER_ALLOC_FAILED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventMutexFailed,
     .eventClass = kClassError,
     .text = TXT_MUTEX_FAILED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPortCloseFailed,
     .eventClass = kClassError,
     .text = TXT_PORT_CLOSE_FAILED,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFileWriteFailed,
     .eventClass = kClassError,
     .text = TXT_FILE_WRITE_FAILED,
     .args = kArgsText,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventNothing, .eventClass = kClassNotice, .fixedReport = ""},
    {.code = kEventPortReadFailed,
     .eventClass = kClassError,
     .text = TXT_PORT_READ_FAILED,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPortWriteFailed,
     .eventClass = kClassError,
     .text = TXT_PORT_WRITE_FAILED,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPortTimeout,
     .eventClass = kClassError,
     .text = TXT_PORT_TIMEOUT,
     .args = kArgsNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventUnexpectedResponse,
     .eventClass = kClassError,
     .text = TXT_UNEXPECTED_RESPONSE,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventAnalysisProblem,
     .eventClass = kClassError,
     .text = TXT_ANALYSIS_PROBLEM,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventUnexpectedResponseReboot,
     .eventClass = kClassError,
     .text = TXT_UNEXPECTED_RESPONSE_REBOOT,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventPhoneErrorResponse,
     .eventClass = kClassError,
     .text = TXT_PHONE_ERROR_RESPONSE,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFormatUnsupported,
     .eventClass = kClassError,
     .text = TXT_FORMAT_UNSUPPORTED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventObjectUnsupported,
     .eventClass = kClassError,
     .text = TXT_OBJECT_UNSUPPORTED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFlashWriteFailed,
     .eventClass = kClassError,
     .text = TXT_FLASH_WRITE_FAILED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventSourceEmpty,
     .eventClass = kClassError,
     .text = TXT_SOURCE_EMPTY,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventNoSim,
     .eventClass = kClassError,
     .text = TXT_NO_SIM,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventAllocFailed,
     .eventClass = kClassError,
     .text = TXT_ALLOC_FAILED,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFileBadFormat,
     .eventClass = kClassError,
     .text = TXT_FILE_BAD_FORMAT,
     .args = kArgsText,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFileBadLength,
     .eventClass = kClassError,
     .text = TXT_FILE_BAD_LENGTH,
     .args = kArgsTextNumber,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFileOpenFailed,
     .eventClass = kClassError,
     .text = TXT_FILE_OPEN_FAILED,
     .args = kArgsText,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventFileCloseFailed,
     .eventClass = kClassError,
     .text = TXT_FILE_CLOSE_FAILED,
     .args = kArgsText,
     .show = true,
     .count = true,
     .log = true},
    {.code = 48,
     .eventClass = kClassNotice,
     .fixedReport = "Object filename\t\t: %s\n",
     .args = kArgsText},
    {.code = 51,
     .eventClass = kClassNotice,
     .fixedReport = "Title length\t\t: %d characters\n",
     .args = kArgsNumber},
    {.code = 52,
     .eventClass = kClassNotice,
     .fixedReport = "Object copyright\t: %s\n",
     .args = kArgsText},
    {.code = 54,
     .eventClass = kClassNotice,
     .fixedReport = "Object type\t\t: %s\n",
     .args = kArgsText},
    {.code = 55,
     .eventClass = kClassNotice,
     .fixedReport = "Object format\t\t: %s\n",
     .args = kArgsText},
    {.code = 59, .eventClass = kClassNotice, .fixedReport = "%s\n", .args = kArgsText},
    {.code = kEventObjectPrepared, .eventClass = kClassNotice, .fixedReport = "\n", .log = true},
    {.code = 117,
     .eventClass = kClassError,
     .text = TXT_FILE_WRITE_FAILED,
     .args = kArgsText,
     .show = true,
     .count = true,
     .log = true},
    {.code = kEventInvalid,
     .eventClass = kClassError,
     .fixedReport = "Invalid event 0x%X\n",
     .args = kArgsNumber,
     .count = true,
     .log = true},
    {.code = kEventErrorCountReport,
     .eventClass = kClassNotice,
     .fixedReport = "Number of errors\t: %d\n",
     .args = kArgsNumber,
     .count = true,
     .log = true,
     .repeats = true},
};
static_assert(std::size(kRows) == 38);

// The table of one language and the catalogue it came from.
struct EventTable {
  std::unique_ptr<std::array<EventDescriptor, kEventSlots>> table;
  const TextBlock* catalogue = nullptr;
};

EventTable eventTable;

std::string FillTemplate(const std::string& pattern, std::int32_t args, const Event& event) {
  switch (args) {
    case kArgsText:
      return FormatText(pattern.c_str(), event.text.c_str());
    case kArgsNumber:
      return FormatText(pattern.c_str(), event.number);
    case kArgsNumberText:
      return FormatText(pattern.c_str(), event.number, event.text.c_str());
    case kArgsTextNumber:
      return FormatText(pattern.c_str(), event.text.c_str(), event.number);
    default:
      return pattern;
  }
}

}  // namespace

void BuildEventTable(const TextBlock& catalogue) {
  eventTable.catalogue = &catalogue;
  eventTable.table = std::make_unique<std::array<EventDescriptor, kEventSlots>>();
  auto& table = *eventTable.table;
  for (EventDescriptor& slot : table) slot.code = kUnfilledMarker;
  table[0].code = kSlotZeroMarker;
  for (const EventRow& row : kRows) {
    EventDescriptor& slot = table[row.code];
    slot.code = row.code;
    slot.eventClass = row.eventClass;
    if (row.text) {
      slot.messageText = std::string(catalogue[static_cast<std::size_t>(*row.text)]);
      slot.reportText = slot.messageText;
      slot.messageArgs = row.args;
    } else {
      slot.reportText = row.fixedReport;
    }
    slot.reportArgs = row.args;
    slot.showMessage = row.show;
    slot.countError = row.count;
    slot.logIt = row.log;
    slot.logRepeats = row.repeats;
  }
}

void DestroyEventTable() {
  eventTable.table.reset();
}

const EventDescriptor* ResolveEvent(Event& event) {
  if (!eventTable.table) return nullptr;
  const bool filled =
      event.code < kEventSlots && (*eventTable.table)[event.code].code == event.code;
  if (!filled) event = Event{kEventInvalid, event.code, 0, {}, {}};
  return &(*eventTable.table)[event.code];
}

std::string FormatEvent(const Event& event) {
  Event known = event;
  const EventDescriptor* slot = ResolveEvent(known);
  if (slot == nullptr || !slot->showMessage) return {};
  std::string result = FillTemplate(slot->messageText, slot->messageArgs, known);
  if (slot->eventClass == kClassError) {
    const std::string_view word = (*eventTable.catalogue)[TXT_ERROR];
    result.insert(0, FormatText(kErrorPrefix, std::string(word).c_str(), known.code));
  }
  return result;
}

}  // namespace vandrel
