#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "objects/media_file.h"
#include "objects/object_fitting.h"
#include "platform/user_interface.h"
#include "runtime/app_state.h"

namespace vandrel {

// What a front end does with an object that can be made for the handset: nothing, ask the user
// when it is much smaller, send it so always, or (the command line without --fit) say what it
// would gain.
enum class FitMode { kNever, kAsk, kAlways, kHint };

struct FitRequest {
  FitMode mode = FitMode::kNever;
  FitOptions options;

  // Whether a picture the handset does not take can be fitted, and so be loaded.
  bool FitsPictures() const {
    return (mode == FitMode::kAlways || mode == FitMode::kAsk) && options.screen.has_value();
  }
};

// The request the stored settings make. Without anyone to ask (a batch), "ask" is "never".
FitRequest FitRequestOf(const AppSettings& settings, bool canAsk);

// How long `bytes` take on the line at `speed` bit/s, ten bits a byte: "2 min 33 s", "4 s".
std::string SendTimeText(std::size_t bytes, std::int32_t speed);

// Before the send of `file`, `state`'s object shown as `name`, to a handset that the link tries at
// `lineSpeed` first: puts the handset version in the file's place as `request` says. "Always"
// says so in a notice; "ask" asks on `ui` when the handset version is much smaller, with both
// sizes and send times; a hint gives the same figures as a warning. A picture that goes only
// fitted is fitted without a question; false, with the bad-format event shown and recorded in
// `log`, when it could not be and `file` must not be sent.
bool FitForHandset(MediaFile& file, const AppState& state, std::string_view name,
                   const FitRequest& request, std::int32_t lineSpeed, UserInterface& ui,
                   EventLog& log);

}  // namespace vandrel
