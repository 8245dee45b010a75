#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vandrel {

// Modem-status line bits, as the driver keeps them (the values Windows reports).
inline constexpr std::uint32_t kLineCts = 0x10;
inline constexpr std::uint32_t kLineDsr = 0x20;
inline constexpr std::uint32_t kLineRing = 0x40;
inline constexpr std::uint32_t kLineRlsd = 0x80;
inline constexpr std::uint32_t kModemLineMask = 0xF0;

// Outcome of one bounded read of at most one byte.
enum class DeviceRead { kByte, kTimedOut, kFailed };

// How much of a write left for the device; `ok` is false when the device reported a failure
// (some bytes may still have gone).
struct DeviceWrite {
  bool ok = false;
  std::size_t written = 0;
};

// One open serial device, used exclusively by this process. The driver serialises reads and
// writes itself. No call waits long: a held line, a dead port or a pulled cable cost at most the
// read time-out or one short write slice per call, so the driver's threads always come back.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Reads the device's settings and applies the driver's line parameters: `speed` bit/s, 8 data
  // bits, no parity, one stop bit, raw binary bytes, no software flow control, output held while
  // CTS is low, DTR and RTS handed to hardware handshaking. False when the device refuses them.
  virtual bool Configure(int speed) = 0;
  // Every later ReadByte waits at most `ms` milliseconds in total. Writes never time out.
  virtual bool SetReadTimeout(int ms) = 0;
  // Waits up to `maxMs` for received bytes without holding up writes; true when a read may find
  // one. A device whose reads and writes cannot overlap returns true at once and lets ReadByte
  // do the waiting within its read time-out.
  virtual bool WaitForInput(std::uint32_t maxMs) = 0;
  virtual DeviceRead ReadByte(std::uint8_t& byte) = 0;
  // Waits up to `maxMs` until a write may take bytes, without holding up reads; true when it
  // may. A device that cannot tell returns true at once and lets Write wait its short slice.
  virtual bool WaitForOutput(std::uint32_t maxMs) = 0;
  // Writes what the device takes within one short slice: `written` may be less than the data,
  // and 0 while flow control holds the line. `ok` is false only when the device failed.
  virtual DeviceWrite Write(std::span<const std::uint8_t> data) = 0;
  // Raise (true) or drop (false) a control line. A device without the line ignores this.
  virtual void SetDtr(bool raised) = 0;
  virtual void SetRts(bool raised) = 0;
  // The kLine* bits that are on. A device that cannot report its modem lines (a pseudo-terminal,
  // an infrared virtual port) reads 0, so the link treats it like an infrared port.
  virtual std::uint32_t ModemStatus() = 0;
  // Discard what was received and not read / what was written and not yet sent.
  virtual void PurgeInput() = 0;
  virtual void PurgeOutput() = 0;
  // Bytes written and not yet sent on the line; 0 when the device cannot tell.
  virtual std::size_t PendingOutput() = 0;
  // Releases the device; false when the system reported a failure (the device is released anyway).
  virtual bool Close() = 0;
};

// Why a device could not be opened: the system error is sorted into the cases the diagnostic log
// distinguishes. kNoPermission: the user may not open the device (POSIX), as opposed to a device
// that another program holds (kAccessDenied).
enum class OpenFailure { kNone, kNotFound, kAccessDenied, kNoPermission, kOther };

struct DeviceOpen {
  std::unique_ptr<SerialDevice> device;  // null when the open failed
  OpenFailure failure = OpenFailure::kNone;
  std::uint32_t systemCode = 0;  // the system's error code of a failed open
  std::string group;             // kNoPermission: the group the device belongs to
};

// Opens serial devices by COM port number, exclusively: a device already open, in this process or
// another, is refused as kAccessDenied.
class SerialDeviceFactory {
 public:
  virtual ~SerialDeviceFactory() = default;
  virtual DeviceOpen Open(int port) = 0;
};

// The factory chosen at start-up: the platform's devices unless another one was installed.
SerialDeviceFactory& TheSerialDevices();
// Installs `factory` (nullptr restores the platform's). The caller keeps it alive while installed.
void InstallSerialDevices(SerialDeviceFactory* factory);
// The platform's own devices (termios on POSIX, the communications API on Windows).
SerialDeviceFactory& PlatformSerialDevices();

}  // namespace vandrel
