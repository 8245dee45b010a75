#pragma once

#include <string_view>

#include "app/send_stop.h"
#include "platform/user_interface.h"

namespace vandrel {

// The user asked to cancel the send of `fileName`: asks whether to stop it, and in a batch whether
// the files after it stop too, then requests the stop. Returns whether the send is being stopped.
bool AskToStop(UserInterface& ui, SendStop& stop, std::string_view fileName, bool inBatch);

}  // namespace vandrel
