#include "app/send_stop.h"

#include "serial/serial_driver.h"

namespace vandrel {

void SendStop::Request(bool wholeBatch) {
  std::lock_guard lock(mutex_);
  wholeBatch_ = wholeBatch_ || wholeBatch;
  requested_ = true;
  if (port_ >= 0) SerialStop(port_, true);
}

void SendStop::Lift() {
  std::lock_guard lock(mutex_);
  requested_ = false;
  wholeBatch_ = false;
}

SendStop::OnPort::OnPort(SendStop& stop, int port) : stop_(stop) {
  std::lock_guard lock(stop_.mutex_);
  stop_.port_ = port;
  SerialStop(port, stop_.requested_.load());
}

SendStop::OnPort::~OnPort() {
  std::lock_guard lock(stop_.mutex_);
  SerialStop(stop_.port_, false);
  stop_.port_ = -1;
}

SendStop& NoSendStop() {
  static SendStop never;
  return never;
}

}  // namespace vandrel
