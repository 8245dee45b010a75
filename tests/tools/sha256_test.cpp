#include "tools/handset-sim/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace vandrel::sim {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

std::string Hash(std::string_view message, std::size_t pieceBytes) {
  Sha256 hash;
  while (!message.empty()) {
    const std::string_view piece = message.substr(0, pieceBytes);
    hash.Update(std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()));
    message.remove_prefix(piece.size());
  }
  return Sha256::ToHex(hash.Finish());
}

// Lengths around the padding boundary (55, 56 and 64 bytes) need one or two final blocks.
TEST(Sha256, MatchesKnownDigestsWhateverThePieces) {
  const Vector vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Vector& vector : vectors) {
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{63}, std::size_t{4096}}) {
      EXPECT_EQ(Hash(vector.message, pieceBytes), vector.digest)
          << vector.message.size() << " bytes in pieces of " << pieceBytes;
    }
  }
}

}  // namespace
}  // namespace vandrel::sim
