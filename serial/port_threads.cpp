#include "serial/port_threads.h"

#include <chrono>
#include <system_error>

#include "platform/clock.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// A full ring leaves further bytes waiting in the device; the reader looks again this often.
constexpr std::uint32_t kRingFullPollMs = 5;
// Longest wait for received bytes, or for room to write, outside the I/O lock: bounds how long a
// pause or a close waits for a thread, and makes an idle reader wake only 50 times a second.
constexpr std::uint32_t kInputWaitMs = 20;
constexpr std::uint32_t kOutputWaitMs = 20;
// Bytes the reader takes from the device in one hold of the I/O lock, when they are there.
constexpr std::size_t kMaxReadBurst = 512;
// Each step of a thread is bounded by the waits above and one read time-out or write slice; a
// pause that waits longer than this for a step to end has met a device that does not keep its
// bounds, and goes on rather than freeze the program with it.
constexpr auto kStepLimit = std::chrono::seconds(2);

// Waits while the port is paused, or while `ready` is false. False when the thread must end.
template <typename Ready>
bool AwaitRunnable(SerialPort& port, Ready ready) {
  std::unique_lock lock(port.gateMutex);
  port.gateChanged.wait(lock, [&] { return port.closing || (!port.paused && ready()); });
  return !port.closing;
}

// Marks the thread busy for one step, unless the port was paused or closed meanwhile.
bool BeginStep(SerialPort& port, std::atomic<bool>& busy) {
  std::lock_guard lock(port.gateMutex);
  if (port.paused || port.closing) return false;
  busy = true;
  return true;
}

// Ends the step; a pause waiting for it goes on.
void EndStep(SerialPort& port, std::atomic<bool>& busy) {
  bool pausing = false;
  {
    std::lock_guard lock(port.gateMutex);
    busy = false;
    pausing = port.paused;
  }
  if (pausing) port.gateChanged.notify_all();
}

void NotifyGate(SerialPort& port) {
  { std::lock_guard lock(port.gateMutex); }
  port.gateChanged.notify_all();
}

// A failed read or write means the line is gone: trying again would only fail at once, over and
// over. The first failure is kept, and a wait for an answer or for the queue ends now.
void FailLine(SerialPort& port, std::int32_t driverError) {
  port.lastError.store(driverError);
  std::int32_t none = kDriverNoError;
  port.lineFailure.compare_exchange_strong(none, driverError);
  port.arrival.Notify();
}

// Takes the bytes the device has, while the ring has room, within one hold of the I/O lock.
void ReadBurst(SerialPort& port) {
  std::lock_guard io(port.ioMutex);
  for (std::size_t burst = 0; burst < kMaxReadBurst; ++burst) {
    const std::size_t write = port.rxWrite.load();
    const std::size_t next = (write + 1) % kRingBytes;
    if (next == port.rxRead.load()) return;
    std::uint8_t byte = 0;
    switch (port.handle->ReadByte(byte)) {
      case DeviceRead::kByte:
        (*port.rxRing)[write] = byte;
        port.rxWrite.store(next);
        break;
      case DeviceRead::kTimedOut:
        port.rxTimedOut.store(true);
        return;
      case DeviceRead::kFailed:
        FailLine(port, kDriverReadFailed);
        return;
    }
    if (!port.handle->WaitForInput(0)) return;
  }
}

// Stores the bytes the device has, if it has some within the wait, and wakes a waiting answer.
void ReadIntoRing(SerialPort& port) {
  if ((port.rxWrite.load() + 1) % kRingBytes == port.rxRead.load()) {
    // Overwriting unread bytes would lose them; the device keeps them until there is room.
    port.clock->Sleep(kRingFullPollMs);
    return;
  }
  if (!port.handle->WaitForInput(kInputWaitMs)) {
    port.rxTimedOut.store(true);
    return;
  }
  // the wait above touches nothing, so a pause need not wait for it; the read itself does
  if (!BeginStep(port, port.readerBusy)) return;
  ReadBurst(port);
  EndStep(port, port.readerBusy);
  port.arrival.Notify();
}

// Writes what the device takes of the oldest queued slot within one slice. A slot is done when
// all of it is written, or when the device failed on it.
void WriteSlice(SerialPort& port) {
  const std::int32_t index = port.queueConsumed.load();
  const WriteSlot& slot = port.writeQueue[static_cast<std::size_t>(index)];
  const auto length = static_cast<std::size_t>(slot.length);
  if (!port.handle->WaitForOutput(kOutputWaitMs)) return;
  DeviceWrite outcome;
  {
    std::lock_guard io(port.ioMutex);
    outcome =
        port.handle->Write(std::span(slot.data).subspan(port.slotOffset, length - port.slotOffset));
  }
  port.slotOffset += outcome.written;
  port.bytesWritten += outcome.written;
  if (!outcome.ok) FailLine(port, kDriverWriteFailed);
  if (outcome.ok && port.slotOffset < length) return;
  port.slotOffset = 0;
  port.queueConsumed.store(index + 1);
}

void ReaderThread(SerialPort& port) {
  port.readerRunning = true;
  // after a failure or a stop the reader waits, without touching the device, for the close
  while (AwaitRunnable(port, [&] { return !LineEnded(port); })) ReadIntoRing(port);
  port.readerRunning = false;
}

void WriterThread(SerialPort& port) {
  port.writerRunning = true;
  // An empty queue is waited for, not polled: an idle writer uses no CPU.
  while (AwaitRunnable(port, [&] {
    return !LineEnded(port) && port.queueConsumed.load() < port.queueFilled.load();
  })) {
    if (!BeginStep(port, port.writerBusy)) continue;
    WriteSlice(port);
    EndStep(port, port.writerBusy);
  }
  port.writerRunning = false;
}

}  // namespace

bool StartPortThreads(SerialPort& port) {
  {
    std::lock_guard lock(port.gateMutex);
    port.paused = true;
    port.readerBusy = false;
    port.writerBusy = false;
  }
  try {
    port.readerThread = std::thread(ReaderThread, std::ref(port));
    port.writerThread = std::thread(WriterThread, std::ref(port));
  } catch (const std::system_error&) {
    StopPortThreads(port);
    return false;
  }
  return true;
}

void ResumePortThreads(SerialPort& port) {
  {
    std::lock_guard lock(port.gateMutex);
    port.paused = false;
  }
  port.gateChanged.notify_all();
}

bool PausePortThreads(SerialPort& port) {
  std::unique_lock lock(port.gateMutex);
  port.paused = true;
  return port.gateChanged.wait_for(lock, kStepLimit,
                                   [&] { return !port.readerBusy && !port.writerBusy; });
}

void WakeWriter(SerialPort& port) {
  NotifyGate(port);
}

void DropQueuedOutput(SerialPort& port) {
  if (!PausePortThreads(port)) return;
  // `queueFilled` first, so that a writer never sees a slot below it that is not filled
  port.queueFilled = 0;
  port.queueConsumed = 0;
  port.slotOffset = 0;
  port.handle->PurgeOutput();
}

void StopPortThreads(SerialPort& port) {
  port.closing = true;
  NotifyGate(port);
  if (port.readerThread.joinable()) port.readerThread.join();
  if (port.writerThread.joinable()) port.writerThread.join();
}

}  // namespace vandrel
