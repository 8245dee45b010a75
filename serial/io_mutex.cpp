#include "serial/io_mutex.h"

namespace vandrel {

void IoMutex::lock() {
  std::unique_lock lock(mutex_);
  const std::uint64_t ticket = nextTicket_++;
  turnChanged_.wait(lock, [&] { return servedTicket_ == ticket; });
}

void IoMutex::unlock() {
  {
    std::lock_guard lock(mutex_);
    ++servedTicket_;
  }
  turnChanged_.notify_all();
}

}  // namespace vandrel
