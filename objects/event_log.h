#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "objects/event_table.h"

namespace vandrel {

// The record of one send: the events it logged, oldest first, and the errors it counted. The
// send's context holds it; the loader and the link record through it, and the send job reads it
// to decide whether the send went through.
class EventLog {
 public:
  // A new send begins: the log is emptied and the count zeroed.
  void Begin();
  // The text to show for `event` (empty when there is nothing to show); counts and logs it as its
  // row says.
  std::string Record(const Event& event);
  // Logs the end-of-send report and returns the error count.
  std::uint32_t Close();
  std::uint32_t ErrorCount() const;
  std::vector<Event> Entries() const;

 private:
  bool AlreadyLogged(std::uint8_t code) const;

  // the link records on the send's worker while a front end may read the count
  mutable std::mutex mutex_;
  std::vector<Event> entries_;
  std::uint32_t errorCount_ = 0;
};

}  // namespace vandrel
