#include "objects/event_table.h"

#include <memory>
#include <optional>

#include "platform/format_text.h"

namespace vandrel {

namespace {

constexpr const char* kErrorPrefix = "%s 0x%2.2X : ";
constexpr std::uint8_t kUnfilledMarker = 0;
constexpr std::uint8_t kSlotZeroMarker = 255;

// One filled row: either a catalogue text (for both the message and the report) or a fixed
// report line with no message.
struct EventRow {
  std::uint8_t code;
  std::int32_t eventClass;
  std::optional<int> text;
  const char* fixedReport;
  std::int32_t args;
  bool show;
  bool count;
  bool log;
  bool repeats;
};

constexpr EventRow kRows[] = {
    {kEventPortUnavailable, 1, TXT_PORT_UNAVAILABLE, nullptr, kArgsNumber, true, true, true, false},
    {kEventConnectFailed, 1, TXT_CONNECT_FAILED_SPEED, nullptr, kArgsNumber, true, true, true,
     false},
    {kEventPhoneStorageFull, 1, TXT_PHONE_STORAGE_FULL, nullptr, kArgsNone, true, true, true,
     false},
    {kEventPhoneMemoryLow, 1, TXT_PHONE_MEMORY_LOW, nullptr, kArgsNone, true, true, true, false},
    {kEventPrematureEnd, 1, TXT_PREMATURE_END, nullptr, kArgsNumber, true, true, true, false},
    {kEventWrongPortParams, 1, TXT_WRONG_PORT_PARAMS, nullptr, kArgsNumber, true, true, true,
     false},
    {kEventBufferAllocFailed, 1, TXT_BUFFER_ALLOC_FAILED, nullptr, kArgsNone, true, true, true,
     false},
    {kEventMutexFailed, 1, TXT_MUTEX_FAILED, nullptr, kArgsNone, true, true, true, false},
    {kEventPortCloseFailed, 1, TXT_PORT_CLOSE_FAILED, nullptr, kArgsNumber, true, true, true,
     false},
    {kEventFileWriteFailed, 1, TXT_FILE_WRITE_FAILED, nullptr, kArgsText, true, true, true, false},
    {kEventNothing, 0, std::nullopt, "", kArgsNone, false, false, false, false},
    {kEventPortReadFailed, 1, TXT_PORT_READ_FAILED, nullptr, kArgsNumber, true, true, true, false},
    {kEventPortWriteFailed, 1, TXT_PORT_WRITE_FAILED, nullptr, kArgsNumber, true, true, true,
     false},
    {kEventPortTimeout, 1, TXT_PORT_TIMEOUT, nullptr, kArgsNumber, true, true, true, false},
    {kEventUnexpectedResponse, 1, TXT_UNEXPECTED_RESPONSE, nullptr, kArgsNone, true, true, true,
     false},
    {kEventAnalysisProblem, 1, TXT_ANALYSIS_PROBLEM, nullptr, kArgsNone, true, true, true, false},
    {kEventUnexpectedResponseReboot, 1, TXT_UNEXPECTED_RESPONSE_REBOOT, nullptr, kArgsNone, true,
     true, true, false},
    {kEventPhoneErrorResponse, 1, TXT_PHONE_ERROR_RESPONSE, nullptr, kArgsNone, true, true, true,
     false},
    {kEventFormatUnsupported, 1, TXT_FORMAT_UNSUPPORTED, nullptr, kArgsNone, true, true, true,
     false},
    {kEventObjectUnsupported, 1, TXT_OBJECT_UNSUPPORTED, nullptr, kArgsNone, true, true, true,
     false},
    {kEventFlashWriteFailed, 1, TXT_FLASH_WRITE_FAILED, nullptr, kArgsNone, true, true, true,
     false},
    {kEventSourceEmpty, 1, TXT_SOURCE_EMPTY, nullptr, kArgsNone, true, true, true, false},
    {kEventNoSim, 1, TXT_NO_SIM, nullptr, kArgsNone, true, true, true, false},
    {kEventAllocFailed, 1, TXT_ALLOC_FAILED, nullptr, kArgsNone, true, true, true, false},
    {kEventFileBadFormat, 1, TXT_FILE_BAD_FORMAT, nullptr, kArgsText, true, true, true, false},
    {kEventFileBadLength, 1, TXT_FILE_BAD_LENGTH, nullptr, kArgsTextNumber, true, true, true,
     false},
    {kEventFileOpenFailed, 1, TXT_FILE_OPEN_FAILED, nullptr, kArgsText, true, true, true, false},
    {kEventFileCloseFailed, 1, TXT_FILE_CLOSE_FAILED, nullptr, kArgsText, true, true, true, false},
    {48, 0, std::nullopt, "Object filename\t\t: %s\n", kArgsText, false, false, false, false},
    {51, 0, std::nullopt, "Title length\t\t: %d characters\n", kArgsNumber, false, false, false,
     false},
    {52, 0, std::nullopt, "Object copyright\t: %s\n", kArgsText, false, false, false, false},
    {54, 0, std::nullopt, "Object type\t\t: %s\n", kArgsText, false, false, false, false},
    {55, 0, std::nullopt, "Object format\t\t: %s\n", kArgsText, false, false, false, false},
    {59, 0, std::nullopt, "%s\n", kArgsText, false, false, false, false},
    {kEventObjectPrepared, 0, std::nullopt, "\n", kArgsNone, false, false, true, false},
    {117, 1, TXT_FILE_WRITE_FAILED, nullptr, kArgsText, true, true, true, false},
    {kEventInvalid, 1, std::nullopt, "Invalid event 0x%X\n", kArgsNumber, false, true, true, false},
    {kEventErrorCountReport, 0, std::nullopt, "Number of errors\t: %d\n", kArgsNumber, false, true,
     true, true},
};
static_assert(std::size(kRows) == 38);

// The reporter's state: the table of one language, the catalogue it came from, the log and the
// error count of the current send.
struct EventReporter {
  std::unique_ptr<std::array<EventDescriptor, kEventSlots>> table;
  const TextBlock* catalogue = nullptr;
  std::vector<Event> log;
  std::atomic<std::uint32_t> errorCount{0};
};

EventReporter reporter;

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

bool AlreadyLogged(std::uint8_t code) {
  for (const Event& logged : reporter.log)
    if (logged.code == code) return true;
  return false;
}

}  // namespace

void BuildEventTable(const TextBlock& catalogue) {
  reporter.catalogue = &catalogue;
  reporter.table = std::make_unique<std::array<EventDescriptor, kEventSlots>>();
  auto& table = *reporter.table;
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
  reporter.log.clear();
  reporter.errorCount = 0;
}

void DestroyEventTable() {
  reporter.table.reset();
  reporter.log.clear();
}

std::string FormatEvent(const Event& event) {
  if (!reporter.table) return {};
  const bool filled = event.code < kEventSlots && (*reporter.table)[event.code].code == event.code;
  if (!filled) return FormatEvent(Event{kEventInvalid, event.code, 0, {}, {}});
  const EventDescriptor& slot = (*reporter.table)[event.code];
  const bool isError = slot.eventClass == 1;
  std::string result;
  if (slot.showMessage) {
    result = FillTemplate(slot.messageText, slot.messageArgs, event);
    if (isError) {
      const std::string_view word = (*reporter.catalogue)[TXT_ERROR];
      result.insert(0, FormatText(kErrorPrefix, std::string(word).c_str(), event.code));
    }
  }
  if (slot.countError && isError) ++reporter.errorCount;
  if (slot.logIt && (slot.logRepeats || !AlreadyLogged(event.code))) reporter.log.push_back(event);
  return result;
}

void ResetEventLog() {
  reporter.log.clear();
  reporter.errorCount = 0;
}

std::uint32_t CloseEventLog() {
  const std::uint32_t count = reporter.errorCount;
  FormatEvent(Event{kEventErrorCountReport, static_cast<std::int32_t>(count), 0, {}, {}});
  return reporter.errorCount;
}

std::uint32_t ErrorCount() {
  return reporter.errorCount;
}

std::vector<Event> EventLogEntries() {
  return reporter.log;
}

}  // namespace vandrel
