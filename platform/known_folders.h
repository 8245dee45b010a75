#pragma once

#include <string>

namespace vandrel {

enum class KnownFolder { kDocuments, kMusic, kPictures };

// The current user's folder of that kind (Windows known folders; on Linux the XDG user directory
// when it exists, else the home folder), or an empty text when the system names none.
std::string KnownFolderPath(KnownFolder folder);

}  // namespace vandrel
