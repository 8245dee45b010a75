#pragma once

#include <string>
#include <string_view>

#include "runtime/app_state.h"

namespace vandrel {

// The title that goes to the handset with an object, whose titles are 8-bit: made from the
// file's name without its extension, in the system's 8-bit code page (a character the code page
// lacks becomes "?"), then walked byte by byte: bytes below 32 are dropped, the first 20 others
// kept.
std::string CleanObjectTitle(std::string_view rawUtf8);

// Puts the title's bytes into AppState's `titleChars`, one per element from the first.
void StoreObjectTitle(std::string_view title, AppState& state);

// The title as UTF-8, for showing it.
std::string ObjectTitleText(std::string_view title);

}  // namespace vandrel
