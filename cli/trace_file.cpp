#include "cli/trace_file.h"

#include <array>
#include <ctime>
#include <utility>

#include "objects/media_file.h"
#include "platform/format_text.h"
#include "platform/utf8_path.h"
#include "runtime/app_state.h"
#include "serial/port_map.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::size_t kShownDataBytes = 64;
constexpr std::size_t kShownAnswerBytes = 512;
constexpr double kMsPerSecond = 1000.0;

constexpr std::array<const char*, 5> kOpenResultNames{
    "configured", "configured at 115200 bit/s (no modem lines, or already open)",
    "non-compliant cable", "DATA cable without handset", "failed"};

const char* OpenResultName(int result) {
  return result >= 0 && result < static_cast<int>(kOpenResultNames.size())
             ? kOpenResultNames[static_cast<std::size_t>(result)]
             : "unknown result";
}

const char* BoxName(BoxKind kind) {
  switch (kind) {
    case BoxKind::kError:
      return "error";
    case BoxKind::kWarning:
      return "warning";
    case BoxKind::kNotice:
      return "notice";
    default:
      return "message";
  }
}

std::string LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  // called once, before any other thread of the program runs
  const std::tm* local = std::localtime(&now);
  std::array<char, 32> text{};
  const std::size_t length =
      local != nullptr ? std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", local) : 0;
  return std::string(text.data(), length);
}

std::string Quoted(std::string_view text) {
  return EscapeBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                     text.size());
}

}  // namespace

std::string EscapeBytes(std::span<const std::uint8_t> bytes, std::size_t limit) {
  std::string text = "\"";
  const std::size_t shown = std::min(bytes.size(), limit);
  for (const std::uint8_t byte : bytes.first(shown)) {
    switch (byte) {
      case '\r':
        text += "\\r";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\t':
        text += "\\t";
        break;
      case '"':
      case '\\':
        text += '\\';
        text += static_cast<char>(byte);
        break;
      default:
        if (byte >= 0x20 && byte < 0x7F)
          text += static_cast<char>(byte);
        else
          text += FormatText("\\x%02X", byte);
    }
  }
  text += '"';
  if (shown < bytes.size())
    text += FormatText("... (%d more bytes)", static_cast<int>(bytes.size() - shown));
  return text;
}

TraceFile::TraceFile(const std::string& path, Clock& clock, UserInterface& ui,
                     SendFrontEnd& frontEnd, const AppState& state)
    : clock_(clock),
      ui_(ui),
      frontEnd_(frontEnd),
      state_(state),
      tracedThread_(std::this_thread::get_id()),
      startMs_(clock.NowMs()) {
  file_.open(Utf8Path(path), std::ios::out | std::ios::binary | std::ios::app);
  if (!file_) return;
  file_ << kAppTitle << " trace, started " << LocalTimeNow()
        << "; times in seconds from the start\n";
}

TraceFile::~TraceFile() {
  std::lock_guard lock(mutex_);
  if (file_.is_open()) FlushPauses();
}

void TraceFile::Line(std::string_view text) {
  if (!file_.is_open()) return;
  FlushPauses();
  Stamped(clock_.NowMs(), text);
}

void TraceFile::Stamped(std::uint64_t ms, std::string_view text) {
  const double seconds = static_cast<double>(ms - startMs_) / kMsPerSecond;
  file_ << FormatText("%10.3f  ", seconds) << text << '\n';
  // flushed line by line, so that a trace survives a run that is killed
  file_.flush();
}

void TraceFile::FlushPauses() {
  if (pauseCount_ == 0) return;
  const int count = pauseCount_;
  pauseCount_ = 0;
  Stamped(pauseStartMs_, count == 1
                             ? FormatText("pause %d ms", static_cast<int>(pauseMs_))
                             : FormatText("pause %d ms x %d", static_cast<int>(pauseMs_), count));
}

void TraceFile::Note(std::string_view text) {
  std::lock_guard lock(mutex_);
  Line(text);
}

// A new file of the batch gets a heading; once it is loaded, the heading says what goes out.
void TraceFile::NoteFileChange(bool loaded) {
  if (state_.filePath == lastFile_) return;
  lastFile_ = state_.filePath;
  const int kind = state_.ObjectKindOfSend();
  Line(FormatText("file %s, kind %d", Quoted(state_.filePath).c_str(), kind));
  if (!loaded || object_ == nullptr) return;
  const MediaFile& media = *std::exchange(object_, nullptr);
  std::string object = FormatText("object: format code %d, %d bytes, title %s", media.formatCode(),
                                  static_cast<int>(media.data().size()),
                                  EscapeBytes(media.title(), media.title().size()).c_str());
  if (media.isConverted())
    object += FormatText(", ADPCM rendition %d bytes", static_cast<int>(media.converted().size()));
  Line(object);
}

void TraceFile::ObjectLoaded(const MediaFile& file) {
  {
    std::lock_guard lock(mutex_);
    object_ = &file;
  }
  frontEnd_.ObjectLoaded(file);
}

void TraceFile::PortOpened(int port, std::int32_t speed, int openResult) {
  std::lock_guard lock(mutex_);
  port_ = port;
  Line(FormatText("open COM%d (%s) at %d bit/s: %s", port, SerialDevicePath(port).c_str(),
                  static_cast<int>(speed), OpenResultName(openResult)));
}

void TraceFile::PortClosed(int port) {
  std::lock_guard lock(mutex_);
  Line(FormatText("close COM%d", port));
}

void TraceFile::Written(int port, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  Line(FormatText("COM%d > %d bytes %s", port, static_cast<int>(bytes.size()),
                  EscapeBytes(bytes, kShownDataBytes).c_str()));
}

void TraceFile::Read(int port, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  Line(FormatText("COM%d < %d bytes %s", port, static_cast<int>(bytes.size()),
                  EscapeBytes(bytes, kShownAnswerBytes).c_str()));
}

void TraceFile::NotePause(std::uint32_t ms, std::uint64_t startMs) {
  if (std::this_thread::get_id() != tracedThread_ || !file_.is_open()) return;
  std::lock_guard lock(mutex_);
  if (pauseCount_ > 0 && pauseMs_ != ms) FlushPauses();
  if (pauseCount_ == 0) {
    pauseMs_ = ms;
    pauseStartMs_ = startMs;
  }
  ++pauseCount_;
}

void TraceFile::Sleep(std::uint32_t ms) {
  NotePause(ms, clock_.NowMs());
  clock_.Sleep(ms);
}

std::uint32_t TraceFile::SleepUntil(std::uint32_t ms, WakeSignal& signal,
                                    const std::function<bool()>& ready) {
  const std::uint64_t start = clock_.NowMs();
  const std::uint32_t slept = clock_.SleepUntil(ms, signal, ready);
  if (slept > 0) NotePause(slept, start);
  return slept;
}

void TraceFile::ShowBox(BoxKind kind, std::string_view text) {
  {
    std::lock_guard lock(mutex_);
    NoteFileChange(false);
    Line(FormatText("%s: %s", BoxName(kind), Quoted(text).c_str()));
  }
  ui_.ShowBox(kind, text);
}

void TraceFile::ShowProgress(std::string_view caption, std::string_view phase) {
  {
    std::lock_guard lock(mutex_);
    NoteFileChange(true);
    Line(FormatText("phase %s", Quoted(phase).c_str()));
    phaseStartBytes_ = SerialBytesWritten(port_);
  }
  ui_.ShowProgress(caption, phase);
}

void TraceFile::UpdateProgress(std::uint32_t percent, std::string_view line) {
  ui_.UpdateProgress(percent, line);
}

void TraceFile::FinishProgress() {
  {
    std::lock_guard lock(mutex_);
    Line(FormatText("download ended, %d bytes written",
                    static_cast<int>(SerialBytesWritten(port_) - phaseStartBytes_)));
  }
  ui_.FinishProgress();
}

}  // namespace vandrel
