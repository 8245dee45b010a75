#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/handset_fit.h"
#include "app/send_job.h"
#include "app/send_outcome.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

// Choices a batch may impose instead of working them out per file.
struct BatchOptions {
  std::optional<int> kind;            // else from the extension: graphic, sound, then vCard list
  std::optional<std::string> title;   // else the file's name without its extension
  FitRequest fit;                     // sent as they are unless asked
  int stoppedText = TXT_INTERRUPTED;  // shown for a file the user stopped
};

struct BatchResult {
  // What became of each file sent or tried, in the batch's order.
  std::vector<SendOutcome> outcomes;
  // The user stopped the batch: the file under way counts as failed, the files after it as
  // neither.
  bool stopped = false;

  int Sent() const;
  int Failed() const;
};

// Sends `files` in order, one send each, without a window: the path that files given on the
// command line take. Every failure has been shown when it returns, and a stop as "Interrupted".
BatchResult RunBatch(const std::vector<std::string>& files, const BatchOptions& options,
                     const SendContext& send);

// The kind a file's extension gives, trying the graphic, the sound and the vCard lists in turn;
// nullopt when none has it.
std::optional<int> KindFromExtension(const std::string& path);

}  // namespace vandrel
