#include "objects/file_signature.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "picture/png_data_check.h"

namespace vandrel {

namespace {

// The first bytes of a format, and for the RIFF family the form type 8 bytes in. A format may
// have several; any of them will do.
struct Signature {
  std::int32_t formatCode;
  std::string_view start;
  std::string_view formType = {};
  // Text that may begin with a UTF-8 byte order mark and blank lines, in either case.
  bool text = false;
  // What the rest of the file must pass too.
  bool (*contentCheck)(std::span<const std::uint8_t>) = nullptr;
};

constexpr std::size_t kFormTypeOffset = 8;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr Signature kSignatures[] = {
    {.formatCode = 1, .start = "RIFF", .formType = "WAVE"},
    {.formatCode = 2, .start = "MThd"},
    {.formatCode = 2, .start = "RIFF", .formType = "RMID"},
    {.formatCode = 14, .start = "#!AMR"},
    {.formatCode = 102, .start = "BM"},
    // the handset would have to inflate all of a PNG's image data, however far it overruns the
    // picture its header describes
    {.formatCode = 103, .start = "\x89PNG\r\n\x1A\n", .contentCheck = PngDataWithinHeader},
    {.formatCode = 104, .start = "\xFF\xD8\xFF"},
    {.formatCode = 105, .start = "GIF87a"},
    {.formatCode = 105, .start = "GIF89a"},
    {.formatCode = 220, .start = "BEGIN:VCARD", .text = true},
};

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool StartsWithCaseless(std::string_view text, std::string_view start) {
  return text.size() >= start.size() &&
         std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) ==
                  std::toupper(static_cast<unsigned char>(b));
         });
}

bool Matches(const Signature& signature, std::string_view file) {
  if (signature.text) {
    if (file.starts_with(kUtf8ByteOrderMark)) file.remove_prefix(kUtf8ByteOrderMark.size());
    file.remove_prefix(std::min(file.find_first_not_of(" \t\r\n"), file.size()));
    return StartsWithCaseless(file, signature.start);
  }
  return file.starts_with(signature.start) &&
         (signature.formType.empty() ||
          file.substr(std::min(kFormTypeOffset, file.size())).starts_with(signature.formType));
}

}  // namespace

bool CarriesSignature(std::int32_t formatCode, std::span<const std::uint8_t> bytes) {
  bool hasSignature = false;
  for (const Signature& signature : kSignatures) {
    if (signature.formatCode != formatCode) continue;
    if (Matches(signature, AsText(bytes)))
      return signature.contentCheck == nullptr || signature.contentCheck(bytes);
    hasSignature = true;
  }
  return !hasSignature;
}

}  // namespace vandrel
