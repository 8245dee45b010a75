#pragma once

#include <array>
#include <cstdint>

namespace vandrel {

namespace g711 {

constexpr std::uint8_t kSignBit = 0x80;
constexpr std::uint8_t kSegmentMask = 0x70;
constexpr int kSegmentShift = 4;
constexpr std::uint8_t kMantissaMask = 0x0F;
constexpr std::uint8_t kALawEvenBits = 0x55;
constexpr std::int32_t kMuLawBias = 0x84;

constexpr std::int16_t ExpandALaw(std::uint8_t code) {
  const std::uint8_t value = code ^ kALawEvenBits;
  std::int32_t magnitude = (value & kMantissaMask) << 4;
  const int segment = (value & kSegmentMask) >> kSegmentShift;
  if (segment == 0) {
    magnitude += 8;
  } else {
    magnitude += 0x108;
    magnitude <<= segment - 1;
  }
  return static_cast<std::int16_t>((value & kSignBit) != 0 ? magnitude : -magnitude);
}

constexpr std::int16_t ExpandMuLaw(std::uint8_t code) {
  const std::uint8_t value = static_cast<std::uint8_t>(~code);
  const std::int32_t magnitude = (((value & kMantissaMask) << 3) + kMuLawBias)
                                 << ((value & kSegmentMask) >> kSegmentShift);
  return static_cast<std::int16_t>((value & kSignBit) != 0 ? kMuLawBias - magnitude
                                                           : magnitude - kMuLawBias);
}

template <std::int16_t (*Expand)(std::uint8_t)>
constexpr std::array<std::int16_t, 256> BuildTable() {
  std::array<std::int16_t, 256> table{};
  for (int code = 0; code < 256; ++code) table[code] = Expand(static_cast<std::uint8_t>(code));
  return table;
}

}  // namespace g711

// G.711 codes expanded to 16-bit linear samples, one look-up per byte.
inline constexpr std::array<std::int16_t, 256> kALawToLinear = g711::BuildTable<g711::ExpandALaw>();
inline constexpr std::array<std::int16_t, 256> kMuLawToLinear =
    g711::BuildTable<g711::ExpandMuLaw>();

}  // namespace vandrel
