#include "picture/jpeg_encoding.h"

#include <cstdlib>

#include "picture/jpeg_errors.h"

namespace vandrel {
namespace {

constexpr int kGrey = 1;
constexpr int kRgb = 3;

struct Encoder {
  jpeg_compress_struct info{};
  JpegErrorRecord error{};
  bool created = false;
  unsigned char* file = nullptr;  // the library's, freed with free()
  unsigned long fileSize = 0;

  Encoder() { info.err = UseJpegErrorRecord(error); }
  ~Encoder() {
    if (created) jpeg_destroy_compress(&info);
    std::free(file);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
};

// Writes `image` into the encoder's file. Between the setjmp and a jump back there is no object
// to destroy: everything that holds memory lives in the caller.
bool Run(Encoder& encoder, const RasterImage& image, int quality) {
  jpeg_compress_struct& info = encoder.info;
  if (setjmp(encoder.error.back) != 0) return false;
  jpeg_create_compress(&info);
  encoder.created = true;
  jpeg_mem_dest(&info, &encoder.file, &encoder.fileSize);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = image.channels;
  info.in_color_space = image.channels == kGrey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(image.width) * image.channels;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = image.pixels.get() + info.next_scanline * stride;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RasterImage& image, int quality) {
  if (image.channels != kGrey && image.channels != kRgb) return std::nullopt;
  Encoder encoder;
  if (!Run(encoder, image, quality) || encoder.file == nullptr) return std::nullopt;
  return std::vector<std::uint8_t>(encoder.file, encoder.file + encoder.fileSize);
}

}  // namespace vandrel
