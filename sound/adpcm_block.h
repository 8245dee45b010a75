#pragma once

#include <cstddef>
#include <cstdint>

namespace vandrel {

// Every ADPCM block opens with its first sample (2 bytes), the step index and one more byte;
// the codes follow in 4-byte words of eight codes each.
inline constexpr std::uint32_t kAdpcmBlockHeaderBytes = 4;
// The header byte that holds the step index the block starts from.
inline constexpr std::size_t kAdpcmStepIndexByte = 2;
inline constexpr std::uint32_t kAdpcmWordBytes = 4;
inline constexpr std::uint32_t kAdpcmCodesPerWord = 8;

// Samples carried by an ADPCM block of `blockBytes` (at least the header): the header sample
// and the codes of its whole words.
constexpr std::uint64_t AdpcmSamplesInBlock(std::uint64_t blockBytes) {
  return (blockBytes - kAdpcmBlockHeaderBytes) / kAdpcmWordBytes * kAdpcmCodesPerWord + 1;
}

}  // namespace vandrel
