#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vandrel::sim {

// SHA-256 of the bytes fed to it, fed in pieces as they arrive from the line, so that an object
// is never held whole in memory just to fingerprint it.
class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  void Update(std::span<const std::uint8_t> bytes);
  // Pads and returns the digest; the object must not be updated afterwards.
  Digest Finish();

  static std::string ToHex(const Digest& digest);

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t blockFill_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace vandrel::sim
