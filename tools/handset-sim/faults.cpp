#include "tools/handset-sim/faults.h"

#include <charconv>

namespace vandrel::sim {

bool FaultTable::Add(std::string_view where, Fault fault, std::string& error) {
  if (where == kEveryStep) {
    for (auto& slot : faults_) slot = fault;
    return true;
  }
  const std::optional<Step> step = StepByName(where);
  if (!step) {
    error = "unknown step '" + std::string(where) + "' (steps: " + StepNameList() + ", " +
            std::string(kEveryStep) + ")";
    return false;
  }
  Set(*step, fault);
  return true;
}

bool FaultTable::AddErrorSpec(std::string_view entry, std::string& error) {
  const std::size_t equals = entry.find('=');
  if (equals == std::string_view::npos) return Add(entry, {FaultKind::kError}, error);
  const std::string_view codeText = entry.substr(equals + 1);
  std::uint32_t code = 0;
  const auto [end, status] =
      std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
  if (codeText.empty() || status != std::errc() || end != codeText.data() + codeText.size()) {
    error = "bad error code in '" + std::string(entry) + "'";
    return false;
  }
  return Add(entry.substr(0, equals), {FaultKind::kCmeError, code}, error);
}

}  // namespace vandrel::sim
