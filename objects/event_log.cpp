#include "objects/event_log.h"

namespace vandrel {

void EventLog::Begin() {
  const std::lock_guard lock(mutex_);
  entries_.clear();
  errorCount_ = 0;
}

std::string EventLog::Record(const Event& event) {
  std::string text = FormatEvent(event);
  Event known = event;
  const EventDescriptor* row = ResolveEvent(known);
  if (row == nullptr) return text;
  const std::lock_guard lock(mutex_);
  if (row->countError && row->eventClass == kEventClassError) ++errorCount_;
  if (row->logIt && (row->logRepeats || !AlreadyLogged(known.code))) entries_.push_back(known);
  return text;
}

std::uint32_t EventLog::Close() {
  Record(Event{kEventErrorCountReport, static_cast<std::int32_t>(ErrorCount()), 0, {}, {}});
  return ErrorCount();
}

std::uint32_t EventLog::ErrorCount() const {
  const std::lock_guard lock(mutex_);
  return errorCount_;
}

std::vector<Event> EventLog::Entries() const {
  const std::lock_guard lock(mutex_);
  return entries_;
}

bool EventLog::AlreadyLogged(std::uint8_t code) const {
  for (const Event& logged : entries_)
    if (logged.code == code) return true;
  return false;
}

}  // namespace vandrel
