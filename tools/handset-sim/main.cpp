#include <array>
#include <chrono>
#include <iostream>

#include "tools/handset-sim/device_link.h"
#include "tools/handset-sim/line.h"
#include "tools/handset-sim/object_store.h"
#include "tools/handset-sim/options.h"
#include "tools/handset-sim/session.h"
#include "tools/handset-sim/stop_signal.h"

namespace vandrel::sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kIdlePollMs = 100;
constexpr std::size_t kReadBufferBytes = 4096;
// A client that stops sending in the middle of the title or the object has given up; the
// handset goes back to taking commands so that the next send finds it ready.
constexpr auto kDataPhaseIdleLimit = std::chrono::seconds(10);
// After the closing command the client still owns the port for a moment; keep the line up so
// that it closes its side first and sees no hang-up.
constexpr auto kOnceLinger = std::chrono::seconds(2);

constexpr Clock::time_point kNever = Clock::time_point::max();

// What the serving loop waits for besides the line.
struct Deadlines {
  Clock::time_point end = kNever;         // --once
  Clock::time_point heldAnswer = kNever;  // --held-answer
  Clock::time_point resume = kNever;      // --refuse-adpcm-after
};

// True once, when `deadline` has passed.
bool Due(Clock::time_point& deadline) {
  if (Clock::now() < deadline) return false;
  deadline = kNever;
  return true;
}

int Serve(const SimOptions& options, Line& line, HandsetSession& session) {
  const HandsetProfile& profile = options.profile;
  std::array<std::uint8_t, kReadBufferBytes> buffer{};
  auto lastData = Clock::now();
  Deadlines deadlines;
  bool holding = options.ctsLow;
  while (!StopRequested() && Clock::now() < deadlines.end) {
    if (holding) {
      line.Hold(kIdlePollMs);
      if (Due(deadlines.heldAnswer)) session.AnswerWhileHolding();
      continue;
    }
    if (Due(deadlines.resume)) {
      line.ResumeClient();
      std::cerr << "handset-sim: resumed the client's output\n";
    }
    const ReadResult result = line.Read(buffer, kIdlePollMs);
    if (result.status == ReadStatus::kFailed) {
      std::cerr << "handset-sim: the line failed\n";
      return EXIT_FAILURE;
    }
    const auto now = Clock::now();
    // a handset on a real line sees the line drop when its client closes the port, and gives up
    // the object it was taking, with the bytes that were still on their way
    if (result.status == ReadStatus::kClientLeft && session.InDataPhase() &&
        !options.keepDataOnClose) {
      line.DiscardUnread();
      session.AbandonDataPhase();
    }
    if (result.status != ReadStatus::kData) {
      if (session.InDataPhase() && now - lastData > kDataPhaseIdleLimit) session.AbandonDataPhase();
      continue;
    }
    lastData = now;
    const SessionEvent event = session.Feed(std::span(buffer).first(result.count));
    if (event == SessionEvent::kHangUp) {
      line.HangUp();
      std::cerr << "handset-sim: dropped the line\n";
      return EXIT_SUCCESS;
    }
    holding = event == SessionEvent::kHold;
    if (holding && !profile.heldAnswer.empty()) {
      deadlines.heldAnswer = now + std::chrono::milliseconds(profile.heldAnswerAfterMs);
    }
    if (event == SessionEvent::kClientSuspended) {
      deadlines.resume = now + std::chrono::milliseconds(profile.resumeAfterMs);
    }
    if (event == SessionEvent::kDownloadClosed && options.once && deadlines.end == kNever) {
      deadlines.end = now + kOnceLinger;
    }
  }
  return EXIT_SUCCESS;
}

int Run(int argc, char** argv) {
  SimOptions options;
  if (const int exitCode = ParseOptions(argc, argv, options); exitCode >= 0) return exitCode;
  InstallStopHandlers();

  std::string error;
  Line line(options.line);
  ObjectStore store(options.storeFolder);
  DeviceLink link;
  if (!line.Open(error) || !store.Prepare(error) ||
      (!options.linkPath.empty() && !link.Create(options.linkPath, line.Path(), error))) {
    std::cerr << "handset-sim: " << error << '\n';
    return EXIT_FAILURE;
  }
  if (options.ctsLow) {
    // Before the path is out, so that no byte of the client ever gets through.
    line.SuspendClient();
    std::cerr << "handset-sim: CTS low, the client's output is suspended\n";
  }
  std::cout << line.Path() << std::endl;

  HandsetSession session(options.profile, store, line, line, std::cerr, options.verbose);
  return Serve(options, line, session);
}

}  // namespace
}  // namespace vandrel::sim

int main(int argc, char** argv) {
  return vandrel::sim::Run(argc, argv);
}
