#include "app/batch_summary.h"

#include "app/chosen_file.h"
#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

std::vector<std::string> SendableFiles(const std::vector<std::string>& dropped) {
  std::vector<std::string> sendable;
  for (const std::string& path : dropped)
    if (KindFromExtension(path)) sendable.push_back(path);
  return sendable;
}

std::string BatchSummary(const std::vector<std::string>& dropped, const BatchResult& result) {
  std::string summary;
  std::size_t sendable = 0;
  int sent = 0;
  for (const std::string& path : dropped) {
    int outcome = TXT_BATCH_UNKNOWN_KIND;
    if (KindFromExtension(path)) {
      const bool wentThrough =
          sendable < result.outcomes.size() && result.outcomes[sendable].succeeded;
      ++sendable;
      outcome = wentThrough ? TXT_BATCH_SENT : TXT_BATCH_FAILED;
      if (wentThrough) ++sent;
    }
    summary += SplitChosenFile(path).name + ": " + GetText(outcome) + "\n";
  }
  const int failed = static_cast<int>(dropped.size()) - sent;
  return summary + "\n" + FormatText(GetText(TXT_BATCH_SUMMARY).c_str(), sent, failed);
}

}  // namespace vandrel
