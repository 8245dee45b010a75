// vandrel-cli on a clock that runs faster than the wall, for the fault suite: every wait of the
// conversation with the handset shrinks in proportion, so that minute-long time-outs pass in
// seconds while the serial line and the simulated handset keep their real pace.
//
//   fault-cli SCALE REPORT GATE ARGUMENTS...
//
// Runs `vandrel-cli ARGUMENTS...` and appends "<exit status> <elapsed ms on the clock>" to the
// file REPORT. Then waits for the file GATE to appear (the test has put a
// working handset on the port meanwhile) and runs the same command line again in this process,
// which shows that the first run left the port free, and appends its line too.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_line.h"
#include "cli/utf8_console.h"
#include "platform/clock.h"

namespace {

constexpr int kUsage = 64;
constexpr int kNoGate = 65;
constexpr auto kGatePoll = std::chrono::milliseconds(20);
constexpr auto kGateLimit = std::chrono::seconds(120);

int RunAndReport(const std::vector<std::string>& commandLine, const std::string& report,
                 vandrel::Clock& clock) {
  const std::uint64_t start = clock.NowMs();
  const int status = vandrel::RunCommandLine(commandLine, clock);
  const std::uint64_t elapsed = clock.NowMs() - start;
  std::fflush(nullptr);
  std::ofstream(report, std::ios::app) << status << ' ' << elapsed << '\n';
  return status;
}

bool AwaitGate(const std::string& gate) {
  const auto limit = std::chrono::steady_clock::now() + kGateLimit;
  while (!std::filesystem::exists(gate)) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(kGatePoll);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  vandrel::UseUtf8Console();
  std::vector<std::string> arguments = vandrel::Utf8Arguments(argc, argv);
  std::uint32_t scale = 0;
  if (arguments.size() < 5 ||
      std::from_chars(arguments[1].data(), arguments[1].data() + arguments[1].size(), scale).ec !=
          std::errc() ||
      scale == 0) {
    std::fprintf(stderr, "usage: fault-cli SCALE REPORT GATE vandrel-cli-arguments...\n");
    return kUsage;
  }
  const std::string report = arguments[2];
  const std::string gate = arguments[3];
  std::vector<std::string> commandLine{"vandrel-cli"};
  commandLine.insert(commandLine.end(), arguments.begin() + 4, arguments.end());

  vandrel::ScaledClock clock(scale);
  RunAndReport(commandLine, report, clock);
  return AwaitGate(gate) ? RunAndReport(commandLine, report, clock) : kNoGate;
}
