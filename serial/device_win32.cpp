#include <windows.h>

#include <string>

#include "platform/utf16.h"
#include "serial/device.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

// Flow-control thresholds of the line parameters, in bytes of the driver's buffers.
constexpr WORD kXonLimit = 100;
constexpr WORD kXoffLimit = 100;
// The longest a single device write waits for the line. A synchronous write holds the handle, and
// the reader's next byte waits behind it, so the slice is short.
constexpr DWORD kWriteSliceMs = 10;
// How often a reader waiting for input looks at the driver's input queue.
constexpr DWORD kInputPollMs = 1;

OpenFailure ClassifyOpenError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return OpenFailure::kNotFound;
    case ERROR_ACCESS_DENIED:
      return OpenFailure::kAccessDenied;
    default:
      return OpenFailure::kOther;
  }
}

class Win32SerialDevice final : public SerialDevice {
 public:
  explicit Win32SerialDevice(HANDLE handle) : handle_(handle) {}
  ~Win32SerialDevice() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  bool Configure(int speed) override {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle_, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(speed);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fDsrSensitivity = TRUE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fAbortOnError = FALSE;
    dcb.XonLim = kXonLimit;
    dcb.XoffLim = kXoffLimit;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
    return SetCommState(handle_, &dcb) != 0;
  }

  bool SetReadTimeout(int ms) override {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(ms);
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteSliceMs;
    return ms >= 0 && SetCommTimeouts(handle_, &timeouts) != 0;
  }

  // Watches the driver's input queue instead of reading: a read that waited here for its
  // time-out would hold the I/O mutex all that time, and the writer, asking for the mutex between
  // two such reads, would not get the line while a large object waits to go out.
  bool WaitForInput(std::uint32_t maxMs) override {
    const ULONGLONG deadline = GetTickCount64() + maxMs;
    for (;;) {
      COMSTAT status{};
      DWORD errors = 0;
      // a port that cannot be asked is read at once, and the read reports the failure
      if (!ClearCommError(handle_, &errors, &status) || status.cbInQue > 0) return true;
      if (GetTickCount64() >= deadline) return false;
      Sleep(kInputPollMs);
    }
  }

  DeviceRead ReadByte(std::uint8_t& byte) override {
    DWORD count = 0;
    if (!ReadFile(handle_, &byte, 1, &count, nullptr)) return DeviceRead::kFailed;
    return count == 1 ? DeviceRead::kByte : DeviceRead::kTimedOut;
  }

  // The driver's output queue cannot be asked whether the line is held; the write's own time-out
  // bounds the wait instead.
  bool WaitForOutput(std::uint32_t) override { return true; }

  // A write the line holds up (CTS low, a handset that stopped reading) ends with its time-out,
  // having written what it could.
  DeviceWrite Write(std::span<const std::uint8_t> data) override {
    DWORD count = 0;
    const BOOL ok =
        WriteFile(handle_, data.data(), static_cast<DWORD>(data.size()), &count, nullptr);
    const bool timedOut = GetLastError() == ERROR_TIMEOUT || GetLastError() == ERROR_SEM_TIMEOUT;
    return {ok != 0 || timedOut, count};
  }

  void SetDtr(bool raised) override { EscapeCommFunction(handle_, raised ? SETDTR : CLRDTR); }
  void SetRts(bool raised) override { EscapeCommFunction(handle_, raised ? SETRTS : CLRRTS); }

  std::uint32_t ModemStatus() override {
    DWORD status = 0;
    if (!GetCommModemStatus(handle_, &status)) return 0;
    return static_cast<std::uint32_t>(status) & kModemLineMask;
  }

  void PurgeInput() override { PurgeComm(handle_, PURGE_RXCLEAR); }
  void PurgeOutput() override { PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR); }

  std::size_t PendingOutput() override {
    COMSTAT status{};
    DWORD errors = 0;
    return ClearCommError(handle_, &errors, &status) ? status.cbOutQue : 0;
  }

  bool Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

class Win32SerialDeviceFactory final : public SerialDeviceFactory {
 public:
  DeviceOpen Open(int port) override {
    const std::string path = SerialDevicePath(port);
    if (path.empty()) return {nullptr, OpenFailure::kNotFound, ERROR_FILE_NOT_FOUND, {}};
    const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      return {nullptr, ClassifyOpenError(error), static_cast<std::uint32_t>(error), {}};
    }
    return {std::make_unique<Win32SerialDevice>(handle), OpenFailure::kNone, 0, {}};
  }
};

}  // namespace

SerialDeviceFactory& PlatformSerialDevices() {
  static Win32SerialDeviceFactory factory;
  return factory;
}

}  // namespace vandrel
