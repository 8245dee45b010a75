#pragma once

#include <memory>
#include <string_view>

#include "handset/line_speeds.h"
#include "runtime/app_state.h"

namespace vandrel {

class HandsetLink;

// What differs between the window and the command line while a send runs.
class SendFrontEnd {
 public:
  virtual ~SendFrontEnd() = default;
  // Returns once the front end is ready for the send's first progress update: the window waits
  // for its progress dialog's loop, at most `maxMs`; the command line has no such loop.
  virtual void AwaitProgressLoop(std::uint32_t maxMs) { (void)maxMs; }
  // The download starts and ends: the window runs its 40 ms timer, the command line a ticker.
  virtual void StartProgressFeed() = 0;
  virtual void StopProgressFeed() = 0;
  // The send is over: the window closes its progress dialog.
  virtual void CloseProgress() = 0;
  // Whether a progress dialog is shown: it is then given a moment to show the full bar, and to
  // close before the port does.
  virtual bool ShowsProgressDialog() const { return false; }
};

// The Send command's preparation: the title (already cleaned, one character per element of
// AppState's titleChars) is made 8-bit safe, and the kind and path are taken. False when there
// is no path: the caller then shows "Object filename must be specified !".
bool PrepareSend(std::size_t cleanedTitleLength, const ObjectKindRow& row,
                 std::string_view filePath);
// Resets the event log and loads the object file; false when it cannot be sent (already shown).
bool LoadObjectFile();
// The worker of one send: connects, chooses PCM or ADPCM, downloads, announces success and
// closes the progress. Runs on its own thread; returns whether the object went through.
// With `keptLink`, the handset a batch found for an earlier file is used again, and after a
// success kept for the next file; after a failure it is closed, and the next file detects anew.
bool RunSendJob(LineSpeeds& lineSpeeds, std::string_view displayName, SendFrontEnd& frontEnd,
                std::unique_ptr<HandsetLink>* keptLink = nullptr);

}  // namespace vandrel
