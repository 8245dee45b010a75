#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel::sim {

// Every point of the conversation at which the handset answers. The data steps are the final
// answers after the raw title and object bytes.
enum class Step : std::uint8_t {
  kAttention,     // "AT"
  kIdentify,      // "ATI3"
  kObjectQuery,   // "AT+KDOBJ?"
  kImei,          // "AT+CGSN"
  kErrorReports,  // "AT+CMEE=1"
  kSimCheck,      // "AT&K3"
  kOpenSession,   // "AT+KDOBJ=1,1"
  kTitle,         // "AT+KDOBJ=2,1,3,0,<length>"
  kTitleData,     // after the title bytes
  kObject,        // "AT+KDOBJ=2,1,0,<format>,<size>"
  kObjectData,    // after the object bytes
  kCloseSession,  // "AT+KDOBJ=1,0"
  kEcho,          // "ATE0" / "ATE1"
  kUnknown,       // any other line
};

inline constexpr std::size_t kStepCount = static_cast<std::size_t>(Step::kUnknown) + 1;

// A command line as the handset understood it; the numbers are those the command carries.
struct Command {
  Step step = Step::kUnknown;
  std::uint32_t first = 0;   // title length, object format code, echo switch
  std::uint32_t second = 0;  // object size
};

// `line` is the command without its carriage return; letters may be in either case.
Command RecogniseCommand(std::string_view line);

// A decimal number that fills `text` entirely; nothing for an empty text, a sign or an overflow.
std::optional<std::uint32_t> WholeNumber(std::string_view text);

// The names by which the options address steps ("ati3", "object-data", ...).
std::optional<Step> StepByName(std::string_view name);
std::string_view StepName(Step step);
// "at, ati3, ..." for the help text.
std::string StepNameList();

}  // namespace vandrel::sim
