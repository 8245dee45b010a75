// serial-bench DEVICE [IDLE_SECONDS] [BYTES]
//
// Opens DEVICE through the serial driver at 115200 bit/s and prints the share of wall time the
// process spent on the CPU: open with its threads paused, open with its threads running and
// nothing to do, and while BYTES bytes are written to a peer (run it under `pty-peer drain`).

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "serial/port_map.h"
#include "serial/serial_driver.h"

namespace {

constexpr int kSpeed = 115200;
constexpr int kReadTimeoutMs = 1;
constexpr auto kProgressPoll = std::chrono::milliseconds(100);
// The peer's pace: 115200 bit/s as 8N1 bytes.
constexpr double kPeerBytesPerSecond = 11520.0;

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Measures `phase` and prints its CPU time as a share of its wall time.
template <typename Phase>
void Measure(const char* name, Phase phase) {
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  phase();
  const double cpu = CpuSeconds() - cpuStart;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::printf("%-34s wall %6.2f s  cpu %6.3f s  = %5.2f %%\n", name, wall, cpu, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: serial-bench DEVICE [IDLE_SECONDS] [BYTES]\n");
    return 2;
  }
  const auto idle = std::chrono::seconds(argc > 2 ? std::atoi(argv[2]) : 10);
  const std::size_t bytes = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 100000;
  const int port = vandrel::RegisterSerialDevicePath(argv[1]);
  std::string log;
  vandrel::RealClock clock;
  const int result = vandrel::SerialOpen(port, kSpeed, kReadTimeoutMs, log, clock);
  if (result != vandrel::kOpenConfigured && result != vandrel::kOpenForcedSpeed) {
    std::fprintf(stderr, "serial-bench: open gave %d%s\n", result, log.c_str());
    return 1;
  }
  Measure("open, threads paused", [&] { std::this_thread::sleep_for(idle); });
  Measure("open, threads running, no traffic", [&] {
    vandrel::SerialWrite(port, {});
    std::this_thread::sleep_for(idle);
  });
  const std::vector<std::uint8_t> data(bytes, 'U');
  // The writer is done when the last byte is in the system's buffer; the line needs longer.
  const auto lineTime =
      std::chrono::duration<double>(static_cast<double>(bytes) / kPeerBytesPerSecond);
  Measure("writing to a peer at 11520 B/s", [&] {
    const auto end = std::chrono::steady_clock::now() + lineTime;
    if (!vandrel::SerialWrite(port, data)) std::fprintf(stderr, "serial-bench: write failed\n");
    while (vandrel::SerialBytesWritten(port) < bytes)
      std::this_thread::sleep_for(kProgressPoll);
    std::this_thread::sleep_until(end);
  });
  vandrel::SerialSuspend(port);
  vandrel::SerialClose(port);
  return 0;
}
