#pragma once

#include <string_view>

namespace vandrel {

// Whether a handset (by IMEI) accepts sounds in the handset ADPCM format, remembered in the
// current user's store. True when a valid record exists; `accepts` is then its meaning, and true
// when there is none.
bool ReadAdpcmRecord(std::string_view imei, bool& accepts);
// Stores "Yes" or "No" for the handset; a failure is silent (it will simply be asked again).
void WriteAdpcmRecord(std::string_view imei, bool accepts);

}  // namespace vandrel
