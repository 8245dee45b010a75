#include <signal.h>

#include <csignal>

#include "tools/handset-sim/stop_signal.h"

namespace vandrel::sim {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
  stopRequested = 1;
}

}  // namespace

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait in poll() or a sleep returns at once so the loop sees the request.
  action.sa_flags = 0;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  // A line whose other side went away must fail its write, not end the process.
  signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
  return stopRequested != 0;
}

}  // namespace vandrel::sim
