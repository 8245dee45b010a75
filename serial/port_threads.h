#pragma once

#include "serial/serial_port.h"

namespace vandrel {

// Creates the reader and writer threads of an open port, paused. False when a thread could not
// be created; no thread of the port runs then.
bool StartPortThreads(SerialPort& port);
// Lets both threads run (SerialWrite).
void ResumePortThreads(SerialPort& port);
// Pauses both threads and returns once the reader is parked.
void PausePortThreads(SerialPort& port);
// Tells a waiting writer that a slot was filled.
void WakeWriter(SerialPort& port);
// Sets `closing`, makes both threads end (aborting a write held by flow control) and joins them.
void StopPortThreads(SerialPort& port);

}  // namespace vandrel
