#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/handset-sim/faults.h"

namespace vandrel::sim {

inline constexpr std::string_view kDefaultImei = "353490071234568";
inline constexpr std::uint32_t kDefaultFreeMemory = 4'000'000;

// How the simulated handset behaves: its identity, its memory and its misbehaviours.
struct HandsetProfile {
  bool echo = true;
  std::string imei{kDefaultImei};
  std::uint32_t freeMemory = kDefaultFreeMemory;
  // Neither echo nor answer from the very start, whatever the command.
  bool silent = false;
  // Refuse a format-1 object in the handset's own ADPCM WAV rendition.
  bool refuseAdpcm = false;
  // Drop the line after this many object bytes.
  std::optional<std::uint64_t> hangUpAfter;
  FaultTable faults;
};

}  // namespace vandrel::sim
