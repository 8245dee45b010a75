#include <array>
#include <new>

#include "platform/clock.h"
#include "platform/format_text.h"
#include "runtime/message_catalogue.h"
#include "runtime/port_log.h"
#include "serial/port_threads.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// Time the modem lines get to settle after DTR or RTS changed.
constexpr std::uint32_t kLineSettleMs = 100;

// What the three modem-line readings of the line test say about the port.
enum class LineVerdict { kForceSpeed, kCableNoHandset, kNonCompliantCable };

struct LineTestRow {
  std::uint32_t dtrRtsDown;  // R1: DTR and RTS dropped
  std::uint32_t dtrUp;       // R2: DTR raised
  std::uint32_t bothUp;      // R3: DTR and RTS raised
  LineVerdict verdict;
};

// Readings not in this table are a DATA cable with a handset (R1 = 0, R2 = R3 = CTS+DSR) or
// anything else worth trying at the requested speed.
constexpr std::array<LineTestRow, 4> kLineTestTable = {{
    // Nothing on any line: an infrared port, or a device without modem lines.
    {0, 0, 0, LineVerdict::kForceSpeed},
    {kLineCts, kLineCts | kLineDsr, kLineCts | kLineDsr, LineVerdict::kForceSpeed},
    {0, kLineDsr, kLineDsr, LineVerdict::kCableNoHandset},
    {0, kLineDsr, kLineCts | kLineDsr, LineVerdict::kNonCompliantCable},
}};

std::uint32_t SettledLines(SerialDevice& device, Clock& clock) {
  clock.Sleep(kLineSettleMs);
  return device.ModemStatus() & kModemLineMask;
}

// Reads the lines with DTR and RTS down, DTR up, then both up; both stay raised afterwards.
const LineTestRow* RunLineTest(SerialDevice& device, Clock& clock) {
  device.SetDtr(false);
  device.SetRts(false);
  const std::uint32_t r1 = SettledLines(device, clock);
  device.SetDtr(true);
  const std::uint32_t r2 = SettledLines(device, clock);
  device.SetRts(true);
  const std::uint32_t r3 = SettledLines(device, clock);
  for (const LineTestRow& row : kLineTestTable) {
    if (row.dtrRtsDown == r1 && row.dtrUp == r2 && row.bothUp == r3) return &row;
  }
  return nullptr;
}

void LogOpenFailure(std::string& log, int port, const DeviceOpen& opened) {
  switch (opened.failure) {
    case OpenFailure::kNotFound:
      AppendPortLog(log, port, TXT_PORT_MISSING);
      break;
    case OpenFailure::kAccessDenied:
      AppendPortLog(log, port, TXT_PORT_IN_USE);
      break;
    case OpenFailure::kNoPermission:
      AppendPortLogText(log, port,
                        FormatText(GetText(TXT_PORT_NO_PERMISSION).c_str(), opened.group.c_str(),
                                   opened.group.c_str()));
      break;
    case OpenFailure::kNone:
    case OpenFailure::kOther:
      AppendPortLog(log, port, TXT_UNKNOWN_ERROR, FormatText(" [0x%08X]", opened.systemCode));
      break;
  }
}

// Ring, time-out and threads; on failure the error code says which.
bool SetUpTransfer(SerialPort& record) {
  record.rxRing.reset(new (std::nothrow) ReceiveRing{});
  if (!record.rxRing) {
    record.lastError = kDriverRingAllocFailed;
    return false;
  }
  record.rxWrite = 0;
  record.rxRead = 0;
  if (!record.handle->SetReadTimeout(record.readTimeoutMs)) {
    record.lastError = kDriverTimeoutFailed;
    return false;
  }
  record.queueFilled = 0;
  record.queueConsumed = 0;
  record.slotOffset = 0;
  if (!StartPortThreads(record)) {
    record.lastError = kDriverThreadsFailed;
    return false;
  }
  return true;
}

void CloseDevice(SerialPort& record) {
  record.closing = true;
  record.rxRing.reset();
  record.handle->Close();
  record.handle.reset();
}

}  // namespace

int SerialOpen(int port, int speed, int readTimeoutMs, std::string& log, Clock& clock) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr) {
    AppendPortLog(log, port, TXT_PORT_MISSING);
    return kOpenFailed;
  }
  if (record->handle) return kOpenForcedSpeed;

  DeviceOpen opened = TheSerialDevices().Open(port);
  if (!opened.device) {
    LogOpenFailure(log, port, opened);
    return kOpenFailed;
  }
  record->handle = std::move(opened.device);

  record->clock = &clock;
  const LineTestRow* row = RunLineTest(*record->handle, clock);
  if (row != nullptr && row->verdict == LineVerdict::kCableNoHandset) {
    AppendPortLog(log, port, TXT_CABLE_NO_HANDSET);
    return kOpenCableNoHandset;
  }
  if (row != nullptr && row->verdict == LineVerdict::kNonCompliantCable) {
    AppendPortLog(log, port, TXT_CABLE_NOT_COMPLIANT);
    return kOpenNonCompliantCable;
  }
  const bool forced = row != nullptr;
  if (!record->handle->Configure(forced ? kForcedSpeed : speed)) {
    AppendPortLog(log, port, TXT_PORT_OPEN_FAILED);
    CloseDevice(*record);
    return kOpenFailed;
  }
  // whatever the device held from before this open (a late answer to the last user's command)
  // is no answer of this conversation
  record->handle->PurgeInput();

  record->rxTimedOut = false;
  record->lineFailure = kDriverNoError;
  record->readTimeoutMs = readTimeoutMs;
  record->closing = false;
  record->writerRunning = true;
  record->readerRunning = true;
  if (!SetUpTransfer(*record)) {
    CloseDevice(*record);
    return kOpenFailed;
  }
  return forced ? kOpenForcedSpeed : kOpenConfigured;
}

}  // namespace vandrel
