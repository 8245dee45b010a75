#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/clock.h"
#include "serial/port_threads.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kQueuePollMs = 5;
// Checks of a full queue that may see no progress before the writer counts as stalled.
constexpr int kStallChecks = 500;

// Waits until the writer has sent every queued slot; false when the writer, trying, moved no byte
// and finished no slot through kStallChecks checks (the line held by flow control, or a device that
// takes nothing), or at once when the line failed. A writer not yet scheduled is not trying, and is
// not counted as stalled.
bool WaitForQueueSent(SerialPort& record) {
  // a slot the device failed on counts as done, and as progress: the failure is reported as such
  const auto progress = [&record] {
    return std::pair(record.bytesWritten.load(), record.queueConsumed.load());
  };
  auto lastSeen = progress();
  int unchangedChecks = 0;
  while (record.queueConsumed.load() < record.queueFilled.load()) {
    if (LineEnded(record)) return false;
    record.clock->Sleep(kQueuePollMs);
    const auto now = progress();
    if (now != lastSeen) {
      lastSeen = now;
      unchangedChecks = 0;
    } else if (record.writerBusy.load() && ++unchangedChecks >= kStallChecks) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool SerialWrite(int port, std::span<const std::uint8_t> data) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr) return false;
  // A port without a writer (closed, or left unconfigured by the line test) would swallow the
  // bytes and report success.
  if (record->closing || !record->writerThread.joinable()) {
    record->lastError = kDriverWriteWhileClosing;
    if (record->handle) {
      record->handle->Close();
      record->handle.reset();
    }
    return false;
  }
  // the failure is already the port's pending error
  if (LineEnded(*record)) return false;
  ResumePortThreads(*record);
  for (std::size_t offset = 0; offset < data.size(); offset += kSlotBytes) {
    if (record->queueFilled.load() >= kQueueSlots) {
      if (!WaitForQueueSent(*record)) return false;
      // The writer is idle now; clearing `queueFilled` first keeps it from re-sending slot 0.
      record->queueFilled = 0;
      record->queueConsumed = 0;
    }
    const std::int32_t index = record->queueFilled.load();
    WriteSlot& slot = record->writeQueue[static_cast<std::size_t>(index)];
    const std::size_t length = std::min(kSlotBytes, data.size() - offset);
    std::memcpy(slot.data.data(), data.data() + offset, length);
    slot.length = static_cast<std::int32_t>(length);
    record->queueFilled = index + 1;
    WakeWriter(*record);
  }
  return true;
}

int SerialRead(int port, std::span<std::uint8_t> destination, bool& timedOut) {
  SerialPort* record = ThePortTable().Find(port);
  timedOut = false;
  if (record == nullptr) return 0;
  timedOut = record->rxTimedOut.exchange(false);
  if (!record->rxRing) return 0;
  const ReceiveRing& ring = *record->rxRing;
  std::size_t read = record->rxRead.load();
  const std::size_t write = record->rxWrite.load();
  std::size_t copied = 0;
  while (read != write && copied < destination.size()) {
    const std::size_t end = read < write ? write : kRingBytes;
    const std::size_t count = std::min(end - read, destination.size() - copied);
    std::memcpy(destination.data() + copied, ring.data() + read, count);
    copied += count;
    read = (read + count) % kRingBytes;
  }
  record->rxRead = read;
  return static_cast<int>(copied);
}

bool SerialAwaitSent(int port) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr || !record->writerThread.joinable() || record->closing) return true;
  ResumePortThreads(*record);
  return WaitForQueueSent(*record);
}

std::uint32_t SerialAwaitInput(int port, std::uint32_t maxMs, Clock& clock) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr || !record->rxRing) {
    clock.Sleep(maxMs);
    return maxMs;
  }
  return clock.SleepUntil(maxMs, record->arrival, [record] {
    return record->rxRead.load() != record->rxWrite.load() || LineEnded(*record);
  });
}

void SerialDrain(int port, std::uint32_t maxMs, Clock& clock) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr || !record->handle) return;
  const std::uint64_t deadline = clock.NowMs() + maxMs;
  // nothing more leaves a line that failed or was stopped
  while (!LineEnded(*record) &&
         (record->queueConsumed.load() < record->queueFilled.load() ||
          record->handle->PendingOutput() > 0) &&
         clock.NowMs() < deadline) {
    clock.Sleep(kQueuePollMs);
  }
}

int SerialLineFailure(int port) {
  const SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr) return kDriverNoError;
  return record->stopped.load() ? kDriverStopped : record->lineFailure.load();
}

void SerialStop(int port, bool stopped) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr) return;
  record->stopped = stopped;
  // a wait for an answer or for the queue ends now; the writer stops after its current slice
  record->arrival.Notify();
}

std::uint64_t SerialBytesWritten(int port) {
  const SerialPort* record = ThePortTable().Find(port);
  return record == nullptr ? 0 : record->bytesWritten.load();
}

void SerialResume(int port) {
  SerialPort* record = ThePortTable().Find(port);
  if (record != nullptr && !record->closing && record->writerThread.joinable()) {
    ResumePortThreads(*record);
  }
}

void SerialSuspend(int port) {
  SerialPort* record = ThePortTable().Find(port);
  if (record != nullptr && record->readerThread.joinable()) PausePortThreads(*record);
}

void SerialDiscardOutput(int port) {
  SerialPort* record = ThePortTable().Find(port);
  if (record != nullptr && record->handle && record->writerThread.joinable()) {
    DropQueuedOutput(*record);
  }
}

}  // namespace vandrel
