#pragma once

namespace vandrel::sim {

// SIGTERM and SIGINT ask the simulator to end cleanly (its link removed, its line closed).
void InstallStopHandlers();
bool StopRequested();

}  // namespace vandrel::sim
