#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vandrel {

// The lock around every device read and write of a port's two threads. It is handed over in the
// order of arrival: the reader takes it again right after each short read, and with an ordinary
// mutex it could do so for ever while the writer waits.
class IoMutex {
 public:
  void lock();
  void unlock();

 private:
  std::mutex mutex_;
  std::condition_variable turnChanged_;
  std::uint64_t nextTicket_ = 0;
  std::uint64_t servedTicket_ = 0;
};

}  // namespace vandrel
