#include "objects/media_file.h"

#include <algorithm>
#include <fstream>
#include <limits>

#include "objects/event_table.h"
#include "objects/file_signature.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "platform/utf8.h"
#include "platform/utf8_path.h"
#include "platform/windows_1252.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"
#include "sound/allocation.h"
#include "sound/sound_converter.h"

namespace vandrel {

namespace {

struct ExtensionCode {
  std::string_view extension;
  std::int32_t formatCode;
};

// Tested in order; the first extension that ends the name gives the format code.
constexpr ExtensionCode kGraphicExtensions[] = {
    {".wbmp", 101}, {".bmp", 102},    {".png", 103},    {".jpg", 104},  {".jpeg", 104},
    {".gif", 105},  {".ems_gr", 109}, {".ems_an", 205}, {".tiff", 106}, {".pict", 107},
    {".eps", 108},  {".mng", 202},    {".qv1", 203},    {".qv2", 204},  {".amr", 14},
};

constexpr ExtensionCode kSoundExtensions[] = {
    {".wav", 1}, {".mid", 2},   {".imy", 4},  {".aqv1", 5},  {".aqv2", 6},  {".mp3", 3},
    {".mp4", 7}, {".cmidi", 8}, {".smaf", 9}, {".mp3p", 10}, {".digi", 11}, {".amr", 14},
};

constexpr std::string_view kFittedOnlyExtensions[] = {".webp"};

constexpr ExtensionCode kVCardExtensions[] = {
    {".vcf", 220},
};

// Files longer than this cannot be described by the object's 32-bit signed size.
constexpr std::uint64_t kMaxObjectBytes = std::numeric_limits<std::int32_t>::max() - 1;

// Every capital of the code page is two bytes of UTF-8, and so is its small letter.
constexpr unsigned char kFirstTwoByteLead = 0xC2;
constexpr unsigned char kLastTwoByteLead = 0xDF;
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuation = 0x80;

bool StartsTwoByteCharacter(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  return lead >= kFirstTwoByteLead && lead <= kLastTwoByteLead && i + 1 < text.size() &&
         (static_cast<unsigned char>(text[i + 1]) & kContinuationMask) == kContinuation;
}

void Report(UserInterface& ui, EventLog& log, std::uint8_t code, const std::string& text,
            std::int32_t number = 0) {
  ShowError(ui, log.Record(Event{code, number, 0, text, ""}));
}

std::int32_t Classify(std::span<const ExtensionCode> list, std::string_view path) {
  const std::string lowered = LowerCasePath(path);
  for (const ExtensionCode& entry : list)
    if (std::string_view(lowered).ends_with(entry.extension)) return entry.formatCode;
  return kNoFormat;
}

using Classifier = std::int32_t (*)(std::string_view);

Classifier ClassifierFor(std::int32_t kind) {
  switch (kind) {
    case kGraphic:
    case kAnimation:
      return ClassifyGraphic;
    case kSound:
      return ClassifySound;
    case kVCard:
      return ClassifyVCard;
    default:
      return nullptr;
  }
}

// The file opens, holds at least one byte and closes again.
bool CheckFile(const std::string& path, UserInterface& ui, EventLog& log) {
  std::filebuf file;
  if (file.open(Utf8Path(path), std::ios::in | std::ios::binary) == nullptr) {
    Report(ui, log, kEventFileOpenFailed, path);
    return false;
  }
  if (file.sgetc() == std::filebuf::traits_type::eof()) {
    Report(ui, log, kEventFileBadLength, path, 0);
    file.close();
    return false;
  }
  if (file.close() == nullptr) {
    Report(ui, log, kEventFileCloseFailed, path);
    return false;
  }
  return true;
}

void Release(std::vector<std::uint8_t>& buffer) {
  std::vector<std::uint8_t>().swap(buffer);
}

}  // namespace

std::string LowerCasePath(std::string_view path) {
  std::string lowered;
  lowered.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (StartsTwoByteCharacter(path, i)) {
      std::size_t next = i;
      AppendUtf8(lowered, LowerCaseWindows1252(NextCodePoint(path, next)));
      ++i;
    } else if (const auto byte = static_cast<unsigned char>(path[i]); byte < kContinuation) {
      lowered += static_cast<char>(LowerCaseWindows1252(byte));
    } else {
      // a stray byte of a name that is not valid UTF-8: a character of its own, which must not
      // take the character after it along
      lowered += path[i];
    }
  }
  return lowered;
}

std::int32_t ClassifyGraphic(std::string_view path) {
  return Classify(kGraphicExtensions, path);
}

std::int32_t ClassifySound(std::string_view path) {
  return Classify(kSoundExtensions, path);
}

std::int32_t ClassifyVCard(std::string_view path) {
  return Classify(kVCardExtensions, path);
}

std::string_view GraphicExtension(std::int32_t formatCode) {
  const auto* found = std::ranges::find(kGraphicExtensions, formatCode, &ExtensionCode::formatCode);
  return found != std::end(kGraphicExtensions) ? found->extension.substr(1) : std::string_view();
}

bool GoesOnlyFitted(std::string_view path) {
  const std::string lowered = LowerCasePath(path);
  return std::ranges::any_of(kFittedOnlyExtensions, [&](std::string_view extension) {
    return std::string_view(lowered).ends_with(extension);
  });
}

bool MediaFile::LoadAndValidate(const std::string& path, std::int32_t kind,
                                std::span<const std::uint16_t> title, UserInterface& ui,
                                EventLog& log, bool fitting) {
  if (!CheckFile(path, ui, log)) return false;

  isConverted_ = false;
  TakeTitle(title);
  const Classifier classify = ClassifierFor(kind);
  formatCode_ = classify != nullptr ? classify(path) : kNoFormat;
  const bool onlyFitted =
      formatCode_ == kNoFormat && kind == kGraphic && vandrel::GoesOnlyFitted(path);
  if (onlyFitted && !fitting) {
    ShowError(ui, FormatText(GetText(TXT_GOES_ONLY_FITTED).c_str(), path.c_str()));
    return false;
  }
  if (formatCode_ == kNoFormat && !onlyFitted) {
    // the message names the file as given: a lower-cased copy may name no file at all
    Report(ui, log, kEventFileBadFormat, path);
    return false;
  }

  Release(converted_);
  const bool leadingZero = formatCode_ == kFormatWithLeadingZero;
  if (!LoadData(path, leadingZero, ui, log)) return false;
  if (!CarriesSignature(formatCode_, std::span(data_).subspan(leadingZero ? 1 : 0))) {
    Release(data_);
    Report(ui, log, kEventFileBadFormat, path);
    return false;
  }
  if (kind == kSound && !ConvertSoundData()) return false;

  log.Record(Event{kEventObjectPrepared, 0, 0, "", ""});
  return true;
}

bool MediaFile::TakeFitted(std::vector<std::uint8_t> bytes, std::int32_t formatCode,
                           std::int32_t kind) {
  data_ = std::move(bytes);
  formatCode_ = formatCode;
  isConverted_ = false;
  Release(converted_);
  return kind != kSound || ConvertSoundData();
}

void MediaFile::TakeTitle(std::span<const std::uint16_t> title) {
  titleLength_ = static_cast<std::uint32_t>(std::min(title.size(), kMaxTitleChars));
  for (std::uint32_t i = 0; i < titleLength_; ++i)
    title_[i] = static_cast<std::uint8_t>(title[i] & 0xFF);
}

bool MediaFile::LoadData(const std::string& path, bool leadingZero, UserInterface& ui,
                         EventLog& log) {
  Release(data_);
  std::filebuf file;
  if (file.open(Utf8Path(path), std::ios::in | std::ios::binary) == nullptr) {
    Report(ui, log, kEventFileBadFormat, path);
    return false;
  }
  const std::streamoff length = file.pubseekoff(0, std::ios::end, std::ios::in);
  file.pubseekoff(0, std::ios::beg, std::ios::in);
  // Too long to describe is as good as too long to hold: nothing is shown, nothing is sent.
  if (length < 0 || static_cast<std::uint64_t>(length) > kMaxObjectBytes) return false;
  const std::size_t offset = leadingZero ? 1 : 0;
  if (!TryAllocate(data_, static_cast<std::size_t>(length) + offset)) return false;
  // A file that shrank since it was measured would leave zeros in the object: refuse it.
  const auto wanted = static_cast<std::streamsize>(length);
  if (file.sgetn(reinterpret_cast<char*>(data_.data() + offset), wanted) != wanted) {
    Release(data_);
    Report(ui, log, kEventFileBadFormat, path);
    return false;
  }
  return true;
}

// Keeps the handset ADPCM rendition of the sound when there is one and it is shorter; a sound
// the converter does not take is sent as it is.
bool MediaFile::ConvertSoundData() {
  if (!TryAllocate(converted_, data_.size())) return false;
  std::size_t length = 0;
  if (ConvertSound(data_, converted_, length) == CONV_OK && length < data_.size()) {
    converted_.resize(length);
    isConverted_ = true;
  } else {
    Release(converted_);
  }
  return true;
}

}  // namespace vandrel
