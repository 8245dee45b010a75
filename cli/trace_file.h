#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "app/send_job.h"
#include "handset/link_trace.h"
#include "platform/clock.h"
#include "platform/user_interface.h"

namespace vandrel {

// Bytes as a support person reads them: printable characters as they are, CR, LF and TAB as
// \r \n \t, quotes and backslashes escaped, everything else as \xHH. Beyond `limit` bytes the
// text ends with "... (N more bytes)".
std::string EscapeBytes(std::span<const std::uint8_t> bytes, std::size_t limit);

// The record of a send for support: each file with its kind, title and sizes, every port opened
// and closed with its line speed, every byte written and read, every pause of the sending
// thread, every progress phase and every message shown, each line time-stamped from the
// program's clock, at the end of the file (an existing trace is never emptied). A send given the
// trace as its clock, user interface, link trace and front end is recorded; the trace passes
// everything on to `clock`, `ui` and `frontEnd`. The file and kind of each send are `state`'s.
class TraceFile final : public LinkTrace, public Clock, public UserInterface, public SendFrontEnd {
 public:
  TraceFile(const std::string& path, Clock& clock, UserInterface& ui, SendFrontEnd& frontEnd,
            const AppState& state);
  ~TraceFile() override;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  bool IsOpen() const { return file_.is_open(); }
  // A line of the caller's own.
  void Note(std::string_view text);

  void PortOpened(int port, std::int32_t speed, int openResult) override;
  void PortClosed(int port) override;
  void Written(int port, std::span<const std::uint8_t> bytes) override;
  void Read(int port, std::span<const std::uint8_t> bytes) override;

  // Pauses of the thread that created the trace are recorded, a run of equal answer polls as one
  // line; other threads (the serial driver's queue polls) only pass through.
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() override { return clock_.NowMs(); }
  // Recorded as a pause of the time it took.
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal& signal,
                           const std::function<bool()>& ready) override;

  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;

  void AwaitProgressLoop(std::uint32_t maxMs) override { frontEnd_.AwaitProgressLoop(maxMs); }
  void ObjectLoaded(const MediaFile& file) override;
  void HandsetFound(int port, std::int32_t lineSpeed) override {
    frontEnd_.HandsetFound(port, lineSpeed);
  }
  void StartProgressFeed(ProgressDisplay& progress) override {
    frontEnd_.StartProgressFeed(progress);
  }
  void StopProgressFeed() override { frontEnd_.StopProgressFeed(); }
  void CloseProgress() override { frontEnd_.CloseProgress(); }
  bool ShowsProgressDialog() const override { return frontEnd_.ShowsProgressDialog(); }

 private:
  void Line(std::string_view text);
  void Stamped(std::uint64_t ms, std::string_view text);
  void FlushPauses();
  // Adds a pause of `ms` that began at `startMs` to the run of equal pauses.
  void NotePause(std::uint32_t ms, std::uint64_t startMs);
  void NoteFileChange(bool loaded);

  Clock& clock_;
  UserInterface& ui_;
  SendFrontEnd& frontEnd_;
  const AppState& state_;
  // The object of the send under way, until its heading is written.
  const MediaFile* object_ = nullptr;
  // The port last opened, and its count of written bytes when the progress phase began.
  int port_ = 0;
  std::uint64_t phaseStartBytes_ = 0;
  std::ofstream file_;
  std::mutex mutex_;
  std::thread::id tracedThread_;
  std::uint64_t startMs_ = 0;
  std::uint32_t pauseMs_ = 0;
  int pauseCount_ = 0;
  std::uint64_t pauseStartMs_ = 0;
  std::string lastFile_;
};

}  // namespace vandrel
