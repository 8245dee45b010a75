#include "handset/link_trace.h"

#include <atomic>

namespace vandrel {

namespace {
std::atomic<LinkTrace*> installed{nullptr};
}  // namespace

void InstallLinkTrace(LinkTrace* trace) {
  installed = trace;
}

void TracePortOpened(int port, std::int32_t speed, int openResult) {
  if (LinkTrace* trace = installed) trace->PortOpened(port, speed, openResult);
}

void TracePortClosed(int port) {
  if (LinkTrace* trace = installed) trace->PortClosed(port);
}

void TraceWritten(int port, std::span<const std::uint8_t> bytes) {
  if (LinkTrace* trace = installed) trace->Written(port, bytes);
}

void TraceRead(int port, std::span<const std::uint8_t> bytes) {
  if (LinkTrace* trace = installed) trace->Read(port, bytes);
}

}  // namespace vandrel
