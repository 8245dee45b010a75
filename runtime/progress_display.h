#pragma once

#include <cstdint>
#include <string_view>

namespace vandrel {

// The progress of a send as the user sees it, drawn through the installed user interface:
// Begin at the start of each phase, Update on every timer tick, Finish at the end.
// Begin and Finish run on the send job's thread, Update on the thread that ticks.
void BeginProgress(std::string_view displayName, int textId, std::uint32_t total);
// Shows a new percentage of AppState's `bytesSent` while `sending` is set, only when it changed;
// 100 once the count has passed the total.
void UpdateProgress();
void FinishProgress();

}  // namespace vandrel
