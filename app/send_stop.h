#pragma once

#include <atomic>
#include <mutex>

namespace vandrel {

// A request to stop the send under way, made from any thread (the command line's signal watcher,
// a Cancel button): the writer stops within 50 ms, every wait of the link ends, and the send job
// closes the port, so that the line hangs up, and tells its front end the send was stopped.
class SendStop {
 public:
  SendStop() = default;
  SendStop(const SendStop&) = delete;
  SendStop& operator=(const SendStop&) = delete;

  // `wholeBatch` false stops only the file under way: a batch then goes on with the next file.
  void Request(bool wholeBatch = true);
  bool Requested() const { return requested_.load(); }
  bool EndsBatch() const { return wholeBatch_.load(); }
  // A batch takes back a stop of one file before it sends the next.
  void Lift();

  // The port of the send under way, while it lives: a request reaches the port's writer at once,
  // and one that came before is applied. Leaving lifts the stop from the port, once the send has
  // closed it, so that the next user of the port finds it usable.
  class OnPort {
   public:
    OnPort(SendStop& stop, int port);
    ~OnPort();
    OnPort(const OnPort&) = delete;
    OnPort& operator=(const OnPort&) = delete;

   private:
    SendStop& stop_;
  };

 private:
  std::mutex mutex_;
  std::atomic<bool> requested_{false};
  std::atomic<bool> wholeBatch_{false};
  int port_ = -1;  // none
};

// A stop that nobody requests, for a send that cannot be stopped.
SendStop& NoSendStop();

}  // namespace vandrel
