#include "tools/handset-sim/wav_probe.h"

#include <algorithm>
#include <string_view>

namespace vandrel::sim {
namespace {

constexpr std::uint16_t kHandsetAdpcmTag = 0x0101;
constexpr std::size_t kRiffHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kFormatTagBytes = 2;

bool HasTag(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view tag) {
  return at + tag.size() <= bytes.size() &&
         std::equal(tag.begin(), tag.end(), bytes.begin() + at,
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

std::uint32_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint32_t{bytes[at + i]} << (8 * i);
  return value;
}

}  // namespace

bool IsHandsetAdpcmWav(std::span<const std::uint8_t> head) {
  if (!HasTag(head, 0, "RIFF") || !HasTag(head, 8, "WAVE")) return false;
  std::size_t at = kRiffHeaderBytes;
  while (at + kChunkHeaderBytes <= head.size()) {
    const std::uint32_t chunkSize = ReadLe(head, at + 4, 4);
    if (HasTag(head, at, "fmt ")) {
      const std::size_t tagAt = at + kChunkHeaderBytes;
      return tagAt + kFormatTagBytes <= head.size() &&
             ReadLe(head, tagAt, kFormatTagBytes) == kHandsetAdpcmTag;
    }
    // Chunks are padded to an even length.
    at += kChunkHeaderBytes + std::size_t{chunkSize} + (chunkSize & 1u);
  }
  return false;
}

}  // namespace vandrel::sim
