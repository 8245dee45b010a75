#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "objects/event_log.h"
#include "platform/user_interface.h"

namespace vandrel {

inline constexpr std::int32_t kNoFormat = -1;
// The format code of ".qv1" pictures, which the handset expects behind one zero byte.
inline constexpr std::int32_t kFormatWithLeadingZero = 203;
inline constexpr std::size_t kTitleBufferBytes = 40;

// The file name as it is compared and shown: every capital of the Windows-1252 code page in
// lower case (ASCII, the accented capitals, Š Œ Ž Ÿ), every other byte of the UTF-8 text as it
// is.
std::string LowerCasePath(std::string_view path);

// The object format code of `path` from its extension (in any case) within one kind's list, or
// kNoFormat.
std::int32_t ClassifyGraphic(std::string_view path);
std::int32_t ClassifySound(std::string_view path);
std::int32_t ClassifyVCard(std::string_view path);

// The first extension of graphic format `formatCode`, without its dot ("png"); empty for none.
std::string_view GraphicExtension(std::int32_t formatCode);

// Whether `path` names a picture that the handset does not take, but that fitting makes a PNG
// of: a ".webp", in any case.
bool GoesOnlyFitted(std::string_view path);

// The object file about to be sent: its bytes, their handset ADPCM rendition when that is
// shorter, the title and the format code.
class MediaFile {
 public:
  // Checks and loads `path` as an object of `kind` (an ObjectKind) and takes `title`, one
  // character per element, of which the low byte is sent (at most 20). Reports every failure as
  // an event recorded in `log` and shown in an error box on `ui`, and returns false. A picture that
  // goes only fitted is loaded without a format code when `fitting` is on, and refused with a
  // message saying so when it is off.
  bool LoadAndValidate(const std::string& path, std::int32_t kind,
                       std::span<const std::uint16_t> title, UserInterface& ui, EventLog& log,
                       bool fitting = false);

  // Puts `bytes`, an object file of format `formatCode`, in place of the file's bytes and format,
  // keeping the title: a sound gets its ADPCM rendition as a loaded file does. False when memory
  // runs out.
  bool TakeFitted(std::vector<std::uint8_t> bytes, std::int32_t formatCode, std::int32_t kind);

  std::span<const std::uint8_t> data() const { return data_; }
  std::span<const std::uint8_t> converted() const { return converted_; }
  bool isConverted() const { return isConverted_; }
  std::span<const std::uint8_t> title() const { return std::span(title_).first(titleLength_); }
  std::int32_t formatCode() const { return formatCode_; }
  // Loaded, but not to be sent until fitted: the handset has no format code for it.
  bool GoesOnlyFitted() const { return formatCode_ == kNoFormat; }

 private:
  void TakeTitle(std::span<const std::uint16_t> title);
  bool LoadData(const std::string& path, bool leadingZero, UserInterface& ui, EventLog& log);
  bool ConvertSoundData();

  std::vector<std::uint8_t> data_;
  std::vector<std::uint8_t> converted_;
  bool isConverted_ = false;
  std::array<std::uint8_t, kTitleBufferBytes> title_{};
  std::uint32_t titleLength_ = 0;
  std::int32_t formatCode_ = kNoFormat;
};

}  // namespace vandrel
