#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace vandrel {

// Puts `bytes` at `path` so that the file there is only ever what it was or the whole new
// content: they are written to a new file beside it, which replaces it once complete and closed.
// On a failure `path` is left as it was (absent if it was) and the new file is removed; `problem`
// then says why, in the system's words. A symbolic link is followed (the file it names is
// replaced), and what is not a regular file (a device such as /dev/null, a pipe) is written into.
bool ReplaceFileWith(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     std::string& problem);

// The system's own part: creates `path`, which must not exist yet, writes `bytes` into it and
// closes it with its bytes on the disk. On a failure the file is gone and `problem` says why.
bool WriteNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                  const std::filesystem::path& like, std::string& problem);

}  // namespace vandrel
