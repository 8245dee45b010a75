#pragma once

#include <array>
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
// The class of an event that is an error (0: a notice).
inline constexpr std::int32_t kEventClassError = 1;

// Fills the table from one language's texts.
void BuildEventTable(const TextBlock& catalogue);
// Frees the table.
void DestroyEventTable();
// The row `event` is kept under, with `event` made the "Invalid event" report (its code as the
// number) when the table holds no row of its code; null while no table is built.
const EventDescriptor* ResolveEvent(Event& event);
// The text to show for `event` in the table's language (empty when there is nothing to show).
std::string FormatEvent(const Event& event);

}  // namespace vandrel
