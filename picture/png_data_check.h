#pragma once

#include <cstdint>
#include <span>

namespace vandrel {

// Whether the image data of a PNG (its IDAT chunks, inflated) holds no more bytes than its
// header's size, bit depth, colour type and interlacing need. The data is inflated a piece at a
// time and the count stops at the first byte too many, so a small file that inflates to
// gigabytes is refused in the time a picture of its size takes.
bool PngDataWithinHeader(std::span<const std::uint8_t> image);

}  // namespace vandrel
