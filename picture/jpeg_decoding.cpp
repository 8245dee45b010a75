#include "picture/jpeg_decoding.h"

#include <limits>
#include <vector>

#include "picture/jpeg_errors.h"
#include "picture/row_scaler.h"

namespace vandrel {
namespace {

// What the decoder may take besides the pixels it returns: enough for the coefficients of a
// progressive photo of 64 megapixels in 4:2:0 (192 MB) or 48 megapixels without chroma
// subsampling (288 MB), far less than a machine that sends one has.
constexpr long kMaxDecoderBytes = 512L << 20;
constexpr unsigned kScaleDenominators[] = {8, 4, 2, 1};

struct Decoder {
  jpeg_decompress_struct info{};
  JpegErrorRecord error{};
  bool created = false;

  Decoder() { info.err = UseJpegErrorRecord(error); }
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

// What a decode keeps while it runs: one scanline, and the scaler it goes into.
struct Scaling {
  PictureSize size;
  std::vector<std::uint8_t> scanline{};
  std::optional<RowScaler> scaler{};
};

// Reads the header of `image` and, with `scaling`, decodes it scanline by scanline into its
// scaler. Between the setjmp and a jump back there is no object to destroy: everything that
// holds memory lives in the caller.
bool Run(Decoder& decoder, std::span<const std::uint8_t> image, Scaling* scaling,
         std::int64_t maxPixels) {
  jpeg_decompress_struct& info = decoder.info;
  if (image.size() > std::numeric_limits<unsigned long>::max()) return false;
  if (setjmp(decoder.error.back) != 0) return false;
  jpeg_create_decompress(&info);
  decoder.created = true;
  jpeg_mem_src(&info, image.data(), static_cast<unsigned long>(image.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  if (scaling == nullptr) return true;
  const PictureSize least = scaling->size;

  if (std::int64_t{info.image_width} * info.image_height > maxPixels) return false;
  // Four-colour JPEGs (print separations) have no conversion to the screen's colours here.
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) return false;
  info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  info.mem->max_memory_to_use = kMaxDecoderBytes;
  info.scale_num = 1;
  for (const unsigned denominator : kScaleDenominators) {
    info.scale_denom = denominator;
    jpeg_calc_output_dimensions(&info);
    if (static_cast<int>(info.output_width) >= least.width &&
        static_cast<int>(info.output_height) >= least.height)
      break;
  }
  jpeg_start_decompress(&info);
  scaling->scaler.emplace(PictureSize{.width = static_cast<int>(info.output_width),
                                      .height = static_cast<int>(info.output_height)},
                          least, info.output_components);
  scaling->scanline.resize(std::size_t{info.output_width} *
                           static_cast<std::size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW row = scaling->scanline.data();
    if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    scaling->scaler->AddPixels(y, scaling->scanline);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

std::optional<PictureSize> ReadJpegSize(std::span<const std::uint8_t> image) {
  Decoder decoder;
  if (!Run(decoder, image, nullptr, 0)) return std::nullopt;
  return PictureSize{.width = static_cast<int>(decoder.info.image_width),
                     .height = static_cast<int>(decoder.info.image_height)};
}

std::optional<RasterImage> DecodeJpeg(std::span<const std::uint8_t> image, PictureSize size,
                                      std::int64_t maxPixels) {
  Decoder decoder;
  Scaling scaling{.size = size};
  if (!Run(decoder, image, &scaling, maxPixels)) return std::nullopt;
  return scaling.scaler->Finish();
}

}  // namespace vandrel
