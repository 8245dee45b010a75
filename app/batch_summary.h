#pragma once

#include <string>
#include <vector>

#include "app/batch_send.h"

namespace vandrel {

// Files dropped together on the window: those of a kind the handset takes go to the batch, in
// their order; the others are only named in the summary.
std::vector<std::string> SendableFiles(const std::vector<std::string>& dropped);

// The box that ends a batch of dropped files: each file by name with its result, in the order they
// were dropped, then "N sent, M failed" (a file of no known kind counts as failed). `result` is
// the batch's result for the sendable files.
std::string BatchSummary(const std::vector<std::string>& dropped, const BatchResult& result);

}  // namespace vandrel
