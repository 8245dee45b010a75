#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "serial/device.h"
#include "serial/io_mutex.h"

namespace vandrel {

inline constexpr int kPortCount = 256;
inline constexpr std::size_t kSlotBytes = 40;
inline constexpr std::int32_t kQueueSlots = 1000;
inline constexpr std::size_t kRingBytes = 8192;

// No initialisers: the table lives in static storage, which starts zeroed, so the 256 queues
// cost no memory until a port is used.
struct WriteSlot {
  std::array<std::uint8_t, kSlotBytes> data;
  std::int32_t length;  // 1..40
};

using ReceiveRing = std::array<std::uint8_t, kRingBytes>;

// One COM port. The write queue is linear: callers fill slots 0, 1, 2, ... and the writer
// thread sends them in order; both counters go back to 0 at open and when a full queue has been
// sent. Each counter and ring position has one writing side, so plain atomics suffice.
struct SerialPort {
  std::unique_ptr<SerialDevice> handle;  // null while closed
  std::array<WriteSlot, kQueueSlots> writeQueue;
  std::unique_ptr<ReceiveRing> rxRing;  // allocated by a configuring open, freed at close
  std::atomic<std::size_t> rxWrite{0};  // next position the reader stores at
  std::atomic<std::size_t> rxRead{0};   // oldest byte not yet taken by SerialRead
  std::atomic<std::int32_t> queueConsumed{0};
  std::atomic<std::int32_t> queueFilled{0};
  std::atomic<std::int32_t> lastError{0};
  // The driver error of the first failed read or write since the open: the system has reported
  // the line gone (a pulled cable, a removed adapter), so both threads stop touching the device
  // and every wait on the port ends. 0 while the line works.
  std::atomic<std::int32_t> lineFailure{0};
  // Set by SerialStop: the user stopped the send. Opens leave it as it is, so that a stop that
  // comes while the link tries the port at another speed is not lost.
  std::atomic<bool> stopped{false};
  std::thread readerThread;
  std::thread writerThread;
  // The port's own lock: a port whose line is held never keeps another port's threads waiting.
  IoMutex ioMutex;
  std::atomic<bool> rxTimedOut{false};
  // Notified by the reader whenever it stored bytes, so that a wait for an answer ends at once.
  WakeSignal arrival;
  std::int32_t readTimeoutMs = 0;
  std::atomic<bool> closing{false};
  std::atomic<bool> writerRunning{false};
  std::atomic<bool> readerRunning{false};
  // Bytes the writer has handed to the device: a full queue whose writer keeps trying without this
  // moving is stalled, and a progress display counts the sent bytes with it.
  std::atomic<std::uint64_t> bytesWritten{0};
  // The clock of the open that created the threads; every wait on the port is on it.
  Clock* clock = nullptr;
  // How much of slot `queueConsumed` is already written; the writer's own.
  std::size_t slotOffset = 0;

  // Pausing is the driver's own: a paused or idle thread waits on `gateChanged` and uses no CPU.
  // A thread is busy while it takes one step (a read, or a slice of a write); each step is short,
  // and a pause waits for both threads to finish theirs.
  std::mutex gateMutex;
  std::condition_variable gateChanged;
  bool paused = false;
  std::atomic<bool> readerBusy{false};
  std::atomic<bool> writerBusy{false};
};

// Whether nothing more is to be read or written on the port until it is closed: its line failed,
// or the send was stopped.
inline bool LineEnded(const SerialPort& port) {
  return port.stopped.load() || port.lineFailure.load() != 0;
}

// The process-wide table of ports, indexed by port number.
class SerialPortTable {
 public:
  // The record of `port`, or nullptr outside 0..255.
  SerialPort* Find(int port) {
    return port >= 0 && port < kPortCount ? &ports_[static_cast<std::size_t>(port)] : nullptr;
  }

 private:
  std::array<SerialPort, kPortCount> ports_;
};

SerialPortTable& ThePortTable();

}  // namespace vandrel
