#include "picture/jpeg_table_check.h"

#include <algorithm>
#include <cstddef>

namespace vandrel {
namespace {

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kHuffmanTables = 0xC4;
constexpr std::size_t kCodeLengths = 16;
constexpr unsigned kMaxCodes = 256;

// Markers that stand alone, without a length: stuffed zero, TEM, SOI and the restart markers.
bool StandsAlone(std::uint8_t marker) {
  return marker == 0x00 || marker == 0x01 || marker == kStartOfImage ||
         (marker >= 0xD0 && marker <= 0xD7);
}

// The byte at `at`, or zero past the end, as the decoder reads it.
unsigned ByteAt(std::span<const std::uint8_t> image, std::size_t at) {
  return at < image.size() ? image[at] : 0;
}

// The tables of the DHT segment whose content starts at `at`, read as the decoder reads them: a
// class byte, sixteen counts, then as many code values as the counts add up to, until the
// segment's length is used up, whatever the bytes past it are.
bool TablesFit(std::span<const std::uint8_t> image, std::size_t at, std::size_t contentLength) {
  std::size_t read = 0;
  while (read < contentLength) {
    unsigned codes = 0;
    for (std::size_t length = 1; length <= kCodeLengths; ++length) {
      codes += ByteAt(image, at + read + length);
    }
    if (codes > kMaxCodes) return false;
    read += 1 + kCodeLengths + codes;
  }
  return true;
}

}  // namespace

bool JpegHuffmanTablesFit(std::span<const std::uint8_t> image) {
  // Every 0xFF followed by a marker code is a marker, in entropy-coded data as well: tables may
  // come between the scans of a progressive image.
  std::size_t at = 2;
  while (at + 1 < image.size()) {
    const std::uint8_t marker = image[at + 1];
    if (image[at] != kMarkerPrefix || marker == kMarkerPrefix || StandsAlone(marker)) {
      at += image[at] == kMarkerPrefix && marker != kMarkerPrefix ? 2 : 1;
      continue;
    }
    if (marker == kEndOfImage || at + 3 >= image.size()) return true;
    const std::size_t length = std::size_t{image[at + 2]} << 8 | image[at + 3];
    if (marker == kHuffmanTables && length > 2 && !TablesFit(image, at + 4, length - 2)) {
      return false;
    }
    at += 2 + std::max<std::size_t>(length, 2);
  }
  return true;
}

}  // namespace vandrel
