#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/handset-sim/faults.h"

namespace vandrel::sim {

inline constexpr std::string_view kDefaultImei = "353490071234568";
inline constexpr std::uint32_t kDefaultFreeMemory = 4'000'000;
inline constexpr std::uint32_t kDefaultHeldAnswerAfterMs = 1000;
inline constexpr std::uint32_t kDefaultResumeAfterMs = 1000;
// The fewest object bytes in which a WAV header shows its format tag.
inline constexpr std::uint64_t kMinAdpcmRefusalBytes = 64;

// How the simulated handset behaves: its identity, its memory and its misbehaviours.
struct HandsetProfile {
  bool echo = true;
  std::string imei{kDefaultImei};
  std::uint32_t freeMemory = kDefaultFreeMemory;
  // Neither echo nor answer from the very start, whatever the command.
  bool silent = false;
  // Refuse a format-1 object in the handset's own ADPCM WAV rendition.
  bool refuseAdpcm = false;
  // Refuse it as soon as this many of its bytes have come, suspending the client's output for
  // `resumeAfterMs` and discarding what it has sent but the handset not read.
  std::optional<std::uint64_t> refuseAdpcmAfter;
  std::uint32_t resumeAfterMs = kDefaultResumeAfterMs;
  // The answer written `heldAnswerAfterMs` after a hold has started, the line still unread;
  // empty: none.
  std::string heldAnswer;
  std::uint32_t heldAnswerAfterMs = kDefaultHeldAnswerAfterMs;
  // Drop the line after this many object bytes.
  std::optional<std::uint64_t> hangUpAfter;
  FaultTable faults;
};

}  // namespace vandrel::sim
