#include "serial/port_threads.h"
#include "serial/serial_driver.h"

namespace vandrel {

bool SerialClose(int port) {
  SerialPort* record = ThePortTable().Find(port);
  if (record == nullptr) return true;
  record->closing = true;
  if (!record->handle) return true;
  StopPortThreads(*record);
  record->handle->PurgeInput();
  record->handle->PurgeOutput();
  record->rxRing.reset();
  // The system releases the device even when it reports a failure, so it is not closed twice.
  const bool closed = record->handle->Close();
  record->handle.reset();
  if (!closed) record->lastError = kDriverCloseFailed;
  return closed;
}

}  // namespace vandrel
