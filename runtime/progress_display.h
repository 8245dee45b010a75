#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>

#include "platform/user_interface.h"

namespace vandrel {

// The progress of a send as the user sees it, drawn through a front end's user interface:
// Begin at the start of each phase, Update on every tick of the front end's feed, Finish at the
// end. Begin and Finish run on the send job's thread, Update on the thread that ticks.
class ProgressDisplay {
 public:
  // Bytes handed to the line since the phase began.
  using SentBytes = std::function<std::uint64_t()>;

  explicit ProgressDisplay(UserInterface& ui) : ui_(ui) {}
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // Shows the caption, the phase and 0 % of `total`. With `sentBytes`, the phase's bytes are
  // counting: Update shows their percentage until Finish.
  void Begin(std::string_view displayName, int textId, std::uint32_t total,
             SentBytes sentBytes = {});
  // Shows a new percentage of the counted bytes, only when it changed; 100 once the count has
  // passed the total. Nothing while no phase counts.
  void Update();
  void Finish();
  // The send was stopped: counting ends, and the bar stays as far as it got for the front end to
  // take away (the console's next line takes its place, the window closes its dialog).
  void Stop();

 private:
  UserInterface& ui_;
  std::mutex mutex_;
  std::uint32_t total_ = 0;
  std::uint32_t lastPercent_ = 0;
  SentBytes sentBytes_;
};

}  // namespace vandrel
