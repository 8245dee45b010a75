#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/clock.h"

namespace vandrel {

// How every wait of a send goes. Prompt (the default) ends a wait as soon as what it waits for is
// there: an answer whose line is complete, a port whose last bytes have gone, a front end that is
// ready. Patient keeps the fixed pauses a handset may need: each poll sleeps its whole step, the
// close and the start pause their full 500 ms, and every file of a batch is detected anew.
class WaitPolicy {
 public:
  constexpr WaitPolicy() = default;
  explicit constexpr WaitPolicy(bool patient) : patient_(patient) {}

  // One step of a wait that has `remainingMs` left: returns the milliseconds it counts for.
  // Prompt returns as soon as bytes come in; patient sleeps the whole `stepMs`.
  std::uint64_t AwaitArrival(int port, std::uint32_t stepMs, std::uint64_t remainingMs,
                             Clock& clock) const;
  // Whether an answer whose final word (OK, CONNECT, or with `isError` ERROR) is in `collected`
  // is complete: prompt once the word's line has ended, patient at once for OK or CONNECT and
  // only after the quiet steps for ERROR.
  bool AnswerComplete(bool isError, std::span<const std::uint8_t> collected) const;
  // The step that the quiet period after an ERROR is counted in, for an answer polled in
  // `stepMs` steps.
  std::uint32_t QuietStepMs(std::uint32_t stepMs) const;
  // Whether a retried command's own answer, still on its way after an earlier try's late one, is
  // read and dropped so that the next command starts clean.
  bool DropsLateAnswers() const { return !patient_; }
  // Lets the last bytes written leave `port` before it is closed, at most `maxMs`.
  void BeforeClose(int port, std::uint32_t maxMs, Clock& clock) const;
  // Waits at most `maxMs`: patient the whole time, prompt through `untilReady`.
  void Pause(std::uint32_t maxMs, Clock& clock,
             const std::function<void(std::uint32_t)>& untilReady) const;
  // Whether the progress dialog's pauses (the full bar, the close) are kept without a dialog.
  bool KeepsDialogPauses() const { return patient_; }
  // Whether a batch detects the handset anew for every file instead of keeping its link.
  bool DetectsEveryFile() const { return patient_; }

 private:
  bool patient_ = false;
};

}  // namespace vandrel
