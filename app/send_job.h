#pragma once

#include <memory>
#include <string_view>

#include "app/send_outcome.h"
#include "app/send_stop.h"
#include "handset/handset_link.h"
#include "handset/line_speeds.h"
#include "objects/event_log.h"
#include "objects/media_file.h"
#include "runtime/app_state.h"
#include "runtime/progress_display.h"

namespace vandrel {

// What differs between the window and the command line while a send runs.
class SendFrontEnd {
 public:
  virtual ~SendFrontEnd() = default;
  // Returns once the front end is ready for the send's first progress update: the window waits
  // for its progress dialog's loop, at most `maxMs`; the command line has no such loop.
  virtual void AwaitProgressLoop(std::uint32_t maxMs) { (void)maxMs; }
  // The send of `file` begins; the file lives until the send is over.
  virtual void ObjectLoaded(const MediaFile& file) { (void)file; }
  // The handset answered on `port` at `lineSpeed`; the download is about to start.
  virtual void HandsetFound(int port, std::int32_t lineSpeed) {
    (void)port;
    (void)lineSpeed;
  }
  // The download starts and ends: the window runs its 40 ms timer, the command line a ticker,
  // each updating `progress` until the feed stops.
  virtual void StartProgressFeed(ProgressDisplay& progress) = 0;
  virtual void StopProgressFeed() = 0;
  // The send is over: the window closes its progress dialog.
  virtual void CloseProgress() = 0;
  // Whether a progress dialog is shown: it is then given a moment to show the full bar, and to
  // close before the port does.
  virtual bool ShowsProgressDialog() const { return false; }
};

// What a send works with, handed down by its front end: the running record (the kind, path,
// title and port of the send, and the user's patience), the seams the link is given, the
// progress display the front end feeds, the line speeds, which a send may reorder, the log the
// loader and the link record the send's events in, and the stop the front end may request.
struct SendContext {
  AppState& state;
  Clock& clock;
  UserInterface& ui;
  LinkTrace& trace;
  ProgressDisplay& progress;
  SendFrontEnd& frontEnd;
  LineSpeeds& lineSpeeds;
  EventLog& log;
  SendStop& stop = NoSendStop();

  WaitPolicy Waits() const { return WaitPolicy(state.patientWaits); }
  LinkContext Link() const { return {clock, ui, log, trace, Waits()}; }
};

// The Send command's preparation: the title (already cleaned, one character per element of
// `state`'s titleChars) is made 8-bit safe, and the kind and path are taken. False when there
// is no path: the caller then shows "Object filename must be specified !".
bool PrepareSend(AppState& state, std::size_t cleanedTitleLength, const ObjectKindRow& row,
                 std::string_view filePath);
// Begins `log` afresh and loads the object file `state` names into `file`, a picture that goes
// only fitted too when `fitting` is on; false when it cannot be sent (already shown on `ui` and
// recorded in `log`).
bool LoadObjectFile(const AppState& state, MediaFile& file, UserInterface& ui, EventLog& log,
                    bool fitting);
// The worker of one send: connects, chooses PCM or ADPCM, downloads `file`, announces success
// and closes the progress. Runs on its own thread; returns what became of the send, which went
// through when its log holds no error. A stop request ends it without a message of its own and
// closes the port (the front end reports the stop).
// With `keptLink`, the handset a batch found for an earlier file is used again, and after a
// success kept for the next file; after a failure it is closed, and the next file detects anew.
SendOutcome RunSendJob(const SendContext& send, const MediaFile& file, std::string_view displayName,
                       std::unique_ptr<HandsetLink>* keptLink = nullptr);
// The outcome of a send that ended before the link: not sent, with the events `log` holds.
SendOutcome UnsentOutcome(const AppState& state, const EventLog& log);

}  // namespace vandrel
