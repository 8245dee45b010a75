#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vandrel {

// Bytes for transfer checks: each depends on its position (not only modulo 256), so a lost,
// doubled or reordered byte shows.
inline std::uint8_t TransferPatternByte(std::size_t index, std::uint8_t seed) {
  return static_cast<std::uint8_t>(index * 7 + index / 251 + seed);
}

inline std::vector<std::uint8_t> TransferPattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = TransferPatternByte(i, seed);
  return bytes;
}

// The bytes as text, to compare with what a line received.
inline std::string AsText(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// The end-to-end check: the port sends kOutgoingBytes of the pattern seeded kOutgoingSeed (more
// than a full write queue), then the peer answers with kIncomingBytes seeded kIncomingSeed.
inline constexpr std::size_t kOutgoingBytes = 40001;
inline constexpr std::uint8_t kOutgoingSeed = 1;
inline constexpr std::size_t kIncomingBytes = 5000;
inline constexpr std::uint8_t kIncomingSeed = 2;

}  // namespace vandrel
