#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace vandrel {

// What the Open command asks of the file dialog. Texts are UTF-8.
struct OpenFileRequest {
  // Description and patterns separated by bars: "vCards (*.vcf)|*.vcf|".
  std::string filter;
  // Start folder and pattern list, "C:\Docs\*.vcf"; the pattern list alone when no folder exists.
  std::string initialFileName;
  std::string title;
};

// Asks the user for an existing file; gives its full path, or nothing when the user cancels.
// The window takes one of these so that tests can script the choice.
using OpenFileChooser =
    std::function<std::optional<std::string>(HWND owner, const OpenFileRequest& request)>;

// The system's open-file dialog: explorer style, the file must exist, no read-only box.
std::optional<std::string> ChooseFileWithDialog(HWND owner, const OpenFileRequest& request);

}  // namespace vandrel
