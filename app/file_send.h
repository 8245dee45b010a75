#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "app/handset_fit.h"
#include "app/object_kinds.h"
#include "app/send_outcome.h"
#include "handset/line_speeds.h"
#include "objects/event_log.h"
#include "objects/media_file.h"
#include "platform/user_interface.h"
#include "runtime/app_state.h"

namespace vandrel {

// One file as the window's Send command and each file of a batch send it: the length of its
// cleaned title (already stored in the running record), its kind, its path, the name the fitting's
// questions show, and the fitting asked for.
struct FileSend {
  std::size_t titleLength = 0;
  const ObjectKindRow& row;
  std::string_view path;
  std::string_view name;
  const FitRequest& fit;
};

// What a file's send is loaded with before its worker runs: the running record, the user
// interface that shows the loader's failures, the send's log and the line speeds the fitting
// times the object at.
struct FileSendContext {
  AppState& state;
  UserInterface& ui;
  EventLog& log;
  const LineSpeeds& lineSpeeds;
};

// The worker that sends a loaded file and says what became of it.
using SendWorker = std::function<SendOutcome(const MediaFile&)>;

// Prepares the send of `file` ("Object filename must be specified !" without a path), loads it
// and fits it for the handset, then hands it to `worker`; what became of the send (not sent, its
// failure shown, when the file could not be loaded).
SendOutcome SendFile(const FileSend& file, const FileSendContext& context,
                     const SendWorker& worker);

}  // namespace vandrel
