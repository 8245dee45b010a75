#pragma once

#include <cstdint>
#include <span>

namespace vandrel {

// Whether `bytes`, a file of format `formatCode`, begin as every file of that format does: a
// text file named .png is not a picture, and the handset would only store it as one. A format
// without such a signature passes as it is. A PNG must also hold no more image data than its
// header needs.
bool CarriesSignature(std::int32_t formatCode, std::span<const std::uint8_t> bytes);

}  // namespace vandrel
