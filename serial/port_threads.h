#pragma once

#include "serial/serial_port.h"

namespace vandrel {

// Creates the reader and writer threads of an open port, paused. False when a thread could not
// be created; no thread of the port runs then.
bool StartPortThreads(SerialPort& port);
// Lets both threads run (SerialWrite).
void ResumePortThreads(SerialPort& port);
// Pauses both threads and returns once neither is inside a step: from then on neither touches the
// device or the buffers. False when a step overran its bound (the pause holds all the same).
bool PausePortThreads(SerialPort& port);
// Tells a waiting writer that a slot was filled.
void WakeWriter(SerialPort& port);
// Pauses both threads, then forgets every queued slot and the device's unsent output.
void DropQueuedOutput(SerialPort& port);
// Sets `closing`, makes both threads end after their current step and joins them.
void StopPortThreads(SerialPort& port);

}  // namespace vandrel
