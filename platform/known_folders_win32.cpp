// windows.h first: the shell headers build on its definitions
#include <windows.h>
// clang-format off
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on
#include "platform/known_folders.h"
#include "platform/utf16.h"

namespace vandrel {

std::string KnownFolderPath(KnownFolder folder) {
  const KNOWNFOLDERID& id = folder == KnownFolder::kMusic      ? FOLDERID_Music
                            : folder == KnownFolder::kPictures ? FOLDERID_Pictures
                                                               : FOLDERID_Documents;
  PWSTR path = nullptr;
  std::string result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) result = Narrow(path);
  CoTaskMemFree(path);
  return result;
}

}  // namespace vandrel
