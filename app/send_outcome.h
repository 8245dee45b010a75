#pragma once

#include <cstdint>
#include <vector>

#include "objects/event_table.h"

namespace vandrel {

// What became of one file's send, handed back to the front end that started it.
struct SendOutcome {
  bool succeeded = false;
  // The send's log, oldest first.
  std::vector<Event> events{};
  int port = 0;
  // The line speed the handset was found at; 0 when none was found.
  std::int32_t lineSpeed = 0;
  // The bytes the port's writer handed to the device during the send.
  std::uint64_t bytesSent = 0;
  // The handset ADPCM rendition went, rather than the file as it is.
  bool adpcm = false;
};

}  // namespace vandrel
