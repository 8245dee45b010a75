#include "tools/handset-sim/faults.h"

namespace vandrel::sim {

bool FaultTable::Add(std::string_view where, Fault fault, std::string& error) {
  if (const std::size_t mark = where.find(kArrivalMark); mark != std::string_view::npos) {
    const std::optional<std::uint32_t> arrival = WholeNumber(where.substr(mark + 1));
    if (!arrival || *arrival == 0) {
      error = "bad occurrence in '" + std::string(where) + "' (STEP@N counts from 1)";
      return false;
    }
    fault.fromArrival = *arrival;
    where = where.substr(0, mark);
  }
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
  const std::optional<std::uint32_t> code = WholeNumber(entry.substr(equals + 1));
  if (!code) {
    error = "bad error code in '" + std::string(entry) + "'";
    return false;
  }
  return Add(entry.substr(0, equals), {FaultKind::kCmeError, *code}, error);
}

bool FaultTable::AddLateSpec(std::string_view entry, std::string& error) {
  const std::size_t equals = entry.find('=');
  const std::optional<std::uint32_t> delay =
      equals == std::string_view::npos ? std::nullopt : WholeNumber(entry.substr(equals + 1));
  if (!delay) {
    error = "bad delay in '" + std::string(entry) + "' (STEP=MS)";
    return false;
  }
  return Add(entry.substr(0, equals), {FaultKind::kLateAnswer, *delay}, error);
}

}  // namespace vandrel::sim
