#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tools/handset-sim/read_pacer.h"
#include "tools/handset-sim/session.h"

namespace vandrel::sim {

inline constexpr std::uint32_t kDefaultSplitPauseMs = 50;

struct LineOptions {
  std::string device;  // empty: a new pseudo-terminal
  std::uint32_t baud = 0;
  std::size_t splitBytes = 0;  // 0: every answer in one write
  std::uint32_t splitPauseMs = kDefaultSplitPauseMs;
  // Keep a hand on the client's side of the pseudo-terminal, so that its output can be held.
  bool clientFlowControl = false;
};

// kClientLeft: the client has just closed its side of the line (then idle as kIdle).
enum class ReadStatus : std::uint8_t { kData, kIdle, kClientLeft, kFailed };

struct ReadResult {
  ReadStatus status;
  std::size_t count = 0;
};

// The handset's end of the serial line: the master side of a pseudo-terminal (whose slave side
// the client opens) or a device given by path.
class Line final : public AnswerSink, public ClientFlow {
 public:
  explicit Line(const LineOptions& options) : options_(options), pacer_(options.baud) {}
  ~Line() override { HangUp(); }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  bool Open(std::string& error);
  // The path the client opens.
  const std::string& Path() const { return path_; }
  // Waits at most `timeoutMs` for bytes, never reading faster than the line speed allows.
  ReadResult Read(std::span<std::uint8_t> buffer, int timeoutMs);
  void Send(std::string_view bytes) override;
  // Need `clientFlowControl`; otherwise they do nothing.
  void SuspendClient() override;
  void ResumeClient() override;
  void DiscardUnread() override;
  // Waits `timeoutMs` without reading, so that the client's writes back up once the line's
  // buffer is full; only notices the client closing its side.
  void Hold(int timeoutMs);
  // Drops the line: the client's side sees the hang-up at once.
  void HangUp();

 private:
  bool OpenPseudoTerminal(std::string& error);
  bool OpenDevice(std::string& error);
  // Holding the client's output needs a descriptor of its side, opened before the client can
  // take exclusive use of it.
  bool OpenFlowHandle(std::string& error);
  bool WriteAll(std::string_view bytes);
  // The client closed the port; returns after a pause, so that an unused port costs no CPU:
  // kClientLeft the first time, then kIdle.
  ReadResult ClientGone(int timeoutMs);

  LineOptions options_;
  ReadPacer pacer_;
  int fd_ = -1;
  int flowHandle_ = -1;
  std::string path_;
  bool pseudoTerminal_ = false;
  bool clientPresent_ = false;
};

}  // namespace vandrel::sim
