#include "serial/port_threads.h"

#include <system_error>

#include "app/app_state.h"
#include "platform/clock.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// A full ring leaves further bytes waiting in the device; the reader looks again this often.
constexpr std::uint32_t kRingFullPollMs = 5;
// Longest wait for received bytes outside the I/O lock: bounds how long SerialSuspend and
// SerialClose wait for the reader, and makes an idle reader wake only 50 times a second.
constexpr std::uint32_t kInputWaitMs = 20;
// A device whose reads fail (a USB adapter pulled out) fails at once; pause before trying again.
constexpr std::uint32_t kFailedReadPauseMs = 100;

// Waits while the port is paused, or while `ready` is false, and returns false when the thread
// must end.
template <typename Ready>
bool WaitUntilRunnable(SerialPort& port, bool* parked, Ready ready) {
  std::unique_lock lock(port.gateMutex);
  if (port.paused && !port.closing && parked != nullptr) {
    *parked = true;
    port.gateChanged.notify_all();
  }
  port.gateChanged.wait(lock, [&] { return port.closing || (!port.paused && ready()); });
  if (parked != nullptr) *parked = false;
  return !port.closing;
}

void NotifyGate(SerialPort& port) {
  { std::lock_guard lock(port.gateMutex); }
  port.gateChanged.notify_all();
}

// Stores one received byte, if the device has one within the read time-out.
void ReadIntoRing(SerialPort& port) {
  const std::size_t write = port.rxWrite.load();
  const std::size_t next = (write + 1) % kRingBytes;
  if (next == port.rxRead.load()) {
    // Overwriting unread bytes would lose them; the device keeps them until there is room.
    TheClock().Sleep(kRingFullPollMs);
    return;
  }
  if (!port.handle->WaitForInput(kInputWaitMs)) {
    port.rxTimedOut.store(true);
    return;
  }
  std::uint8_t byte = 0;
  DeviceRead outcome;
  {
    std::lock_guard io(*port.ioMutex);
    outcome = port.handle->ReadByte(byte);
  }
  switch (outcome) {
    case DeviceRead::kByte:
      (*port.rxRing)[write] = byte;
      port.rxWrite.store(next);
      break;
    case DeviceRead::kTimedOut:
      port.rxTimedOut.store(true);
      break;
    case DeviceRead::kFailed:
      port.lastError.store(kDriverReadFailed);
      TheClock().Sleep(kFailedReadPauseMs);
      break;
  }
}

// Sends the oldest queued slot. A failed write still counts as done.
void WriteOneSlot(SerialPort& port) {
  const std::int32_t index = port.queueConsumed.load();
  const WriteSlot& slot = port.writeQueue[static_cast<std::size_t>(index)];
  DeviceWrite outcome;
  {
    std::lock_guard io(*port.ioMutex);
    port.writerInWrite = true;
    outcome = port.handle->Write({slot.data.data(), static_cast<std::size_t>(slot.length)});
    port.writerInWrite = false;
  }
  if (!outcome.ok) port.lastError.store(kDriverWriteFailed);
  TheAppState().bytesSent += static_cast<std::uint32_t>(outcome.written);
  port.queueConsumed.store(index + 1);
}

void ReaderThread(SerialPort& port) {
  port.readerRunning = true;
  while (WaitUntilRunnable(port, &port.readerParked, [] { return true; })) ReadIntoRing(port);
  port.readerRunning = false;
}

void WriterThread(SerialPort& port) {
  port.writerRunning = true;
  // An empty queue is waited for, not polled: an idle writer uses no CPU.
  while (WaitUntilRunnable(port, nullptr,
                           [&] { return port.queueConsumed.load() < port.queueFilled.load(); })) {
    WriteOneSlot(port);
  }
  port.writerRunning = false;
}

}  // namespace

bool StartPortThreads(SerialPort& port) {
  {
    std::lock_guard lock(port.gateMutex);
    port.paused = true;
    port.readerParked = false;
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

void PausePortThreads(SerialPort& port) {
  std::unique_lock lock(port.gateMutex);
  port.paused = true;
  port.gateChanged.wait(lock, [&] { return port.readerParked || !port.readerThread.joinable(); });
}

void WakeWriter(SerialPort& port) {
  NotifyGate(port);
}

void StopPortThreads(SerialPort& port) {
  port.closing = true;
  NotifyGate(port);
  if (port.handle) port.handle->AbortPendingIo();
  if (port.readerThread.joinable()) port.readerThread.join();
  if (port.writerThread.joinable()) port.writerThread.join();
}

}  // namespace vandrel
