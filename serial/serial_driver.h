#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/clock.h"

namespace vandrel {

// The serial port driver. Every operation takes a COM port number (0..255; see port_map.h for
// the device behind a number) and works on that port's record in the process-wide port table.
// A port is used by one calling thread at a time. Failures inside an operation or inside the
// port's reader and writer threads are kept in the record as a driver error code; after an
// operation failed, the caller takes the code with SerialTakeError and reports it.
//
// Life of a port: SerialOpen (threads created paused) -> SerialWrite (resumes both threads) ->
// SerialRead polls for the answer -> SerialSuspend between exchanges -> ... -> SerialClose.

// What SerialOpen returns.
enum OpenResult : int {
  // Configured at the requested speed; reader and writer threads exist, paused.
  kOpenConfigured = 0,
  // Configured at 115200 bit/s whatever was asked, because the modem lines read as those of an
  // infrared port or a cable that reports nothing; also returned, with nothing changed, for a
  // port that is already open.
  kOpenForcedSpeed = 1,
  // A non-compliant cable: one log line added; the device is open but not configured and has no
  // threads. Close it with SerialClose.
  kOpenNonCompliantCable = 2,
  // A DATA cable without a handset: as above.
  kOpenCableNoHandset = 3,
  // Nothing open. Either one log line was added (device missing, in use, refused its line
  // parameters), or the error code is 3, 4 or 5 (ring, time-out, threads).
  kOpenFailed = 4,
};

// The driver error codes. Only some are ever set; the rest keep their text for the link's tables.
enum DriverError : std::int32_t {
  kDriverNoError = 0,
  kDriverOpenFailed = 1,
  kDriverSetupFailed = 2,
  kDriverRingAllocFailed = 3,  // SerialOpen: the receive ring could not be allocated
  kDriverTimeoutFailed = 4,    // SerialOpen: the device refused the read time-out
  kDriverThreadsFailed = 5,    // SerialOpen: a thread could not be created
  kDriverWriteFileFailed = 6,
  kDriverCloseFailed = 7,  // SerialClose: the system failed to close the device
  kDriverTimeoutRestoreFailed = 8,
  kDriverReadFailed = 9,          // reader thread: a one-byte read failed
  kDriverWriteFailed = 10,        // writer thread: writing a slot failed
  kDriverWriteWhileClosing = 11,  // SerialWrite on a closed (or never configured) port
  kDriverNoCable = 12,
  kDriverCableNoHandset = 13,
  kDriverCtsDsrAbnormal = 14,
  kDriverRetrofitCable = 15,
  // SerialLineFailure of a stopped port; never a pending error, and without a text
  kDriverStopped = 16,
};

inline constexpr int kForcedSpeed = 115200;

// Opens port `port`, tests its modem lines, sets the line parameters at `speed` bit/s (or
// kForcedSpeed, see OpenResult) and a total time-out of `readTimeoutMs` per one-byte read, and
// creates the paused reader and writer threads. Lines "\r\nCOM<n> : <text>" explaining a failure
// or a cable problem are appended to `log`, in the current language. Every wait of the port's
// threads and of the operations on it until the next open is on `clock`, which must outlive the
// port's use. Returns an OpenResult.
int SerialOpen(int port, int speed, int readTimeoutMs, std::string& log, Clock& clock);

// Queues `data` for the writer thread in slots of up to 40 bytes and resumes both threads.
// Returns once every byte is queued, not sent; it waits only when 1000 slots are pending, until
// the writer has sent them all. False, with kDriverWriteWhileClosing, on a port that is closed or
// was never configured (a device left open by results 2 and 3 is closed then). False without an
// error code when the writer made no progress for 500 checks of 5 ms (output held by flow control);
// the port stays open. False at once on a port whose line failed or that was stopped (see
// SerialLineFailure).
bool SerialWrite(int port, std::span<const std::uint8_t> data);

// Copies up to destination.size() received bytes, oldest first, and returns their number (0 when
// none). `timedOut` tells whether a one-byte read of the reader thread timed out since the last
// call. Never waits.
int SerialRead(int port, std::span<std::uint8_t> destination, bool& timedOut);

// Waits until every queued byte has been written, the threads running. False when the writer
// made no progress for 500 checks of 5 ms, as SerialWrite judges a stall; true at once for a port
// with nothing queued or without threads.
bool SerialAwaitSent(int port);

// Waits on `clock` at most `maxMs` for received bytes not yet read, ending as soon as the reader
// has stored some or the line failed or was stopped; returns the milliseconds waited.
std::uint32_t SerialAwaitInput(int port, std::uint32_t maxMs, Clock& clock);

// Waits on `clock` at most `maxMs` until the queue is written and the device has sent its last
// byte, so that a close does not cut the end of the last command off; not at all once the line
// failed or was stopped.
void SerialDrain(int port, std::uint32_t maxMs, Clock& clock);

// kDriverReadFailed or kDriverWriteFailed once a read or a write of the device failed since the
// open (the system reports the line gone: a pulled cable, a removed adapter), kDriverStopped while
// the port is stopped, else kDriverNoError. From then on the port's threads leave the device alone,
// writes fail and waits end at once; the only thing left to do with the port is SerialClose.
int SerialLineFailure(int port);

// Stops (true) the port for the user, from any thread: the writer stops after its current slice
// (within 50 ms), every wait on the port ends, and writes fail, as on a line that failed, until
// the stop is lifted (false). Closing the port then drops what was not sent, and the line hangs
// up. The stop outlives closes and opens of the port; only lifting it ends it.
void SerialStop(int port, bool stopped);

// Bytes the port's writer has handed to the device since the program started, across opens: a
// progress display takes the difference from the count at the start of its phase.
std::uint64_t SerialBytesWritten(int port);

// Lets both threads run again without writing anything, as SerialWrite does.
void SerialResume(int port);

// Pauses the reader and the writer. Returns once neither is inside a read or a slice of a write
// (each is short); from then on received bytes wait in the device and queued bytes in the queue.
// The next SerialWrite resumes both.
void SerialSuspend(int port);

// Pauses both threads and forgets what is queued and not yet written, and the device's unsent
// output: what follows is written next, without the rest of an object the handset refused.
void SerialDiscardOutput(int port);

// Stops both threads (each ends after its current short step) and joins them, discards the device's
// pending input and output, frees the ring and closes the device. True when there was nothing to
// close. False, with kDriverCloseFailed, when the system failed to close the device; the port
// counts as closed all the same.
bool SerialClose(int port);

// Sets `code` to the port's pending driver error, clears it and returns the code's (French) text;
// nullptr for a code outside 0..15.
const char* SerialTakeError(int port, int& code);

}  // namespace vandrel
