#include "app/handset_fit.h"

#include <algorithm>
#include <utility>

#include "objects/event_table.h"
#include "platform/format_text.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

// A start bit, eight data bits and a stop bit.
constexpr std::uint64_t kLineBitsPerByte = 10;
constexpr std::uint64_t kSecondsPerMinute = 60;

int AsInt(std::size_t bytes) {
  return static_cast<int>(bytes);
}

// A fitted picture is asked about with the size it takes on the handset's screen.
std::string FitQuestion(const FittedObject& fitted, std::string_view name,
                        const std::string& timeBefore, const std::string& timeAfter,
                        std::int32_t lineSpeed) {
  const std::string file(name);
  const int before = AsInt(fitted.bytesAsItIs);
  const int after = AsInt(fitted.bytesFitted);
  const int speed = static_cast<int>(lineSpeed);
  if (const std::optional<PictureSize> size = fitted.pictureSize) {
    return FormatText(GetText(TXT_FIT_PICTURE_QUESTION).c_str(), file.c_str(), before,
                      timeBefore.c_str(), speed, size->width, size->height, after,
                      timeAfter.c_str());
  }
  return FormatText(GetText(TXT_FIT_QUESTION).c_str(), file.c_str(), before, timeBefore.c_str(),
                    speed, after, timeAfter.c_str());
}

}  // namespace

FitRequest FitRequestOf(const AppSettings& settings, bool canAsk) {
  FitRequest request;
  if (settings.fitToHandset == kFitAlways) request.mode = FitMode::kAlways;
  if (settings.fitToHandset == kFitAsk && canAsk) request.mode = FitMode::kAsk;
  if (settings.pictureSize > kPictureAsItIs &&
      static_cast<std::size_t>(settings.pictureSize) <= kHandsetScreens.size())
    request.options.screen = kHandsetScreens[static_cast<std::size_t>(settings.pictureSize) - 1];
  return request;
}

std::string SendTimeText(std::size_t bytes, std::int32_t speed) {
  const std::uint64_t bitsPerSecond = static_cast<std::uint64_t>(std::max<std::int32_t>(speed, 1));
  const std::uint64_t seconds = (bytes * kLineBitsPerByte + bitsPerSecond - 1) / bitsPerSecond;
  if (seconds < kSecondsPerMinute) return FormatText("%d s", static_cast<int>(seconds));
  return FormatText("%d min %d s", static_cast<int>(seconds / kSecondsPerMinute),
                    static_cast<int>(seconds % kSecondsPerMinute));
}

bool FitForHandset(MediaFile& file, const AppState& state, std::string_view name,
                   const FitRequest& request, std::int32_t lineSpeed, UserInterface& ui,
                   EventLog& log) {
  std::optional<FittedObject> fitted;
  if (request.mode != FitMode::kNever)
    fitted = FitObject(file, state.ObjectKindOfSend(), request.options);
  if (!fitted) {
    if (!file.GoesOnlyFitted()) return true;
    ShowError(ui, log.Record(Event{kEventFileBadFormat, 0, 0, state.filePath, ""}));
    return false;
  }
  const bool onlyFitted = file.GoesOnlyFitted();
  const int before = AsInt(fitted->bytesAsItIs);
  const int after = AsInt(fitted->bytesFitted);
  const std::string timeBefore = SendTimeText(fitted->bytesAsItIs, lineSpeed);
  const std::string timeAfter = SendTimeText(fitted->bytesFitted, lineSpeed);
  const auto figures = [&](TextId text) {
    return FormatText(GetText(text).c_str(), after, before, timeAfter.c_str(), timeBefore.c_str(),
                      static_cast<int>(lineSpeed));
  };
  bool take = false;
  switch (request.mode) {
    case FitMode::kAlways:
      take = true;
      break;
    case FitMode::kAsk:
      take = onlyFitted || (fitted->MuchSmaller() &&
                            ui.Ask(FitQuestion(*fitted, name, timeBefore, timeAfter, lineSpeed)));
      break;
    case FitMode::kHint:
      if (fitted->MuchSmaller()) ShowWarning(ui, figures(TXT_FIT_HINT));
      break;
    case FitMode::kNever:
      break;
  }
  if (!take) return true;
  // the user who answered the question needs no notice of the answer
  if (request.mode == FitMode::kAlways || onlyFitted) ShowNotice(ui, figures(TXT_FIT_DONE));
  file = std::move(fitted->file);
  return true;
}

}  // namespace vandrel
