#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/message_catalogue.h"

namespace vandrel {

// A reported happening: a failure (most of them) or a notice, with up to two numbers and texts.
struct Event {
  std::uint8_t code = 0;
  std::int32_t number = 0;
  std::int32_t number2 = 0;
  std::string text;
  std::string text2;
};

// How the arguments of an event go into a template.
enum EventArgs : std::int32_t {
  kArgsNone = 0,
  kArgsText = 1,
  kArgsNumber = 2,
  kArgsNumberText = 3,
  kArgsTextNumber = 4,
};

struct EventDescriptor {
  std::uint8_t code = 0;
  std::int32_t eventClass = 0;  // 1 error, 0 notice
  std::string reportText;
  std::string messageText;
  std::int32_t reportArgs = kArgsNone;
  std::int32_t messageArgs = kArgsNone;
  bool showMessage = false;
  bool logRepeats = false;
  bool logIt = false;
  bool countError = false;
};

// Event codes that other parts of the program raise by name.
enum EventCode : std::uint8_t {
  kEventPortUnavailable = 1,
  kEventConnectFailed = 2,
  kEventPhoneStorageFull = 3,
  kEventPhoneMemoryLow = 4,
  kEventPrematureEnd = 5,
  kEventWrongPortParams = 7,
  kEventBufferAllocFailed = 10,
  kEventMutexFailed = 11,
  kEventPortCloseFailed = 12,
  kEventFileWriteFailed = 16,
  kEventNothing = 17,
  kEventPortReadFailed = 18,
  kEventPortWriteFailed = 19,
  kEventPortTimeout = 20,
  kEventUnexpectedResponse = 21,
  kEventAnalysisProblem = 22,
  kEventUnexpectedResponseReboot = 23,
  kEventPhoneErrorResponse = 24,
  kEventFormatUnsupported = 25,
  kEventObjectUnsupported = 26,
  kEventFlashWriteFailed = 27,
  kEventSourceEmpty = 28,
  kEventNoSim = 29,
  kEventAllocFailed = 35,
  kEventFileBadFormat = 38,
  kEventFileBadLength = 39,
  kEventFileOpenFailed = 40,
  kEventFileCloseFailed = 41,
  kEventObjectPrepared = 79,
  kEventInvalid = 118,
  kEventErrorCountReport = 120,
};

inline constexpr std::size_t kEventSlots = 255;

// Fills the table from one language's texts; empties the log and zeroes the error count.
void BuildEventTable(const TextBlock& catalogue);
// Frees the table and the log; leaves the error count as it is.
void DestroyEventTable();
// The text to show for `event` (empty when there is nothing to show); counts and logs it.
std::string FormatEvent(const Event& event);
// Empties the log and zeroes the error count: the start of a send.
void ResetEventLog();
// Logs the end-of-send report and returns the error count.
std::uint32_t CloseEventLog();
// Errors counted since the last reset.
std::uint32_t ErrorCount();
// The logged events, oldest first.
std::vector<Event> EventLogEntries();

}  // namespace vandrel
