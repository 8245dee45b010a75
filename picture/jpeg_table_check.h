#pragma once

#include <cstdint>
#include <span>

namespace vandrel {

// Whether every Huffman table of a JPEG image lists at most 256 codes. The decoder copies a
// table's codes into room for 256 without counting them first, so a forged table longer than
// that would overwrite its memory: such an image must never reach it, not even its header
// reader, which reads the tables before the frame's size. `image` starts as a JPEG does.
bool JpegHuffmanTablesFit(std::span<const std::uint8_t> image);

}  // namespace vandrel
