#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"

namespace vandrel {

// The title that goes to the handset with an object: made from the file's name without its
// extension, control characters (below 32) dropped, the first 20 other characters kept. The
// characters are code points; the send turns those above 255 into "?", since the handset's title
// is 8-bit.
std::u32string CleanObjectTitle(std::string_view rawUtf8);

// Puts the title's characters into AppState's `titleChars`, one per element from the first. A
// character beyond 16 bits is stored as "?" (it is above 255 in any case).
void StoreObjectTitle(std::u32string_view title, AppState& state);

// The title as UTF-8, for showing it.
std::string ObjectTitleText(std::u32string_view title);

}  // namespace vandrel
