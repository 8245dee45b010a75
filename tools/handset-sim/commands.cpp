#include "tools/handset-sim/commands.h"

#include <array>
#include <cctype>
#include <charconv>

namespace vandrel::sim {
namespace {

struct StepEntry {
  Step step;
  std::string_view name;
  // The exact command line of a fixed command; empty for the ones that carry numbers.
  std::string_view fixedCommand;
};

constexpr std::array<StepEntry, kStepCount - 1> kSteps = {{
    {Step::kAttention, "at", "AT"},
    {Step::kIdentify, "ati3", "ATI3"},
    {Step::kObjectQuery, "query", "AT+KDOBJ?"},
    {Step::kImei, "cgsn", "AT+CGSN"},
    {Step::kErrorReports, "cmee", "AT+CMEE=1"},
    {Step::kSimCheck, "k3", "AT&K3"},
    {Step::kOpenSession, "open", "AT+KDOBJ=1,1"},
    {Step::kTitle, "title", ""},
    {Step::kTitleData, "title-data", ""},
    {Step::kObject, "object", ""},
    {Step::kObjectData, "object-data", ""},
    {Step::kCloseSession, "close", "AT+KDOBJ=1,0"},
    {Step::kEcho, "echo", ""},
}};

constexpr std::string_view kTitlePrefix = "AT+KDOBJ=2,1,3,0,";
constexpr std::string_view kObjectPrefix = "AT+KDOBJ=2,1,0,";
constexpr std::string_view kEchoPrefix = "ATE";

}  // namespace

std::optional<std::uint32_t> WholeNumber(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Command RecogniseCommand(std::string_view line) {
  std::string upper(line);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string_view text = upper;

  for (const StepEntry& entry : kSteps) {
    if (!entry.fixedCommand.empty() && text == entry.fixedCommand) return {entry.step};
  }
  if (text.starts_with(kTitlePrefix)) {
    if (const auto length = WholeNumber(text.substr(kTitlePrefix.size()))) {
      return {Step::kTitle, *length};
    }
  } else if (text.starts_with(kObjectPrefix)) {
    const std::string_view numbers = text.substr(kObjectPrefix.size());
    const std::size_t comma = numbers.find(',');
    if (comma != std::string_view::npos) {
      const auto format = WholeNumber(numbers.substr(0, comma));
      const auto size = WholeNumber(numbers.substr(comma + 1));
      if (format && size) return {Step::kObject, *format, *size};
    }
  } else if (text.starts_with(kEchoPrefix)) {
    const auto on = WholeNumber(text.substr(kEchoPrefix.size()));
    if (on && *on <= 1) return {Step::kEcho, *on};
  }
  return {Step::kUnknown};
}

std::optional<Step> StepByName(std::string_view name) {
  for (const StepEntry& entry : kSteps) {
    if (entry.name == name) return entry.step;
  }
  return std::nullopt;
}

std::string_view StepName(Step step) {
  for (const StepEntry& entry : kSteps) {
    if (entry.step == step) return entry.name;
  }
  return "unknown";
}

std::string StepNameList() {
  std::string list;
  for (const StepEntry& entry : kSteps) {
    if (!list.empty()) list += ", ";
    list += entry.name;
  }
  return list;
}

}  // namespace vandrel::sim
