#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "picture/picture_fitting.h"
#include "picture/raster_image.h"

namespace vandrel {

// Scales a picture to `size` (down, or at its own size) as its rows arrive, in any order, without
// holding the picture: each source pixel adds its light to the pixels of `size` that its area
// covers. Colours are averaged as light, not as their stored sRGB values, and weighted by
// opacity, so that thin lines and transparent edges keep their brightness. What it holds is the
// size of the result, whatever the size of the source.
class RowScaler {
 public:
  // `channels` bytes a pixel, as in a RasterImage.
  RowScaler(PictureSize source, PictureSize size, int channels);

  // Adds the pixels of source row `y`, packed in `pixels`, that stand at columns `column`,
  // `column + step`, ... (an interlaced pass gives every `step`th pixel of a row).
  void AddPixels(int y, std::span<const std::uint8_t> pixels, int column = 0, int step = 1);

  // The scaled picture, in the channels of the source; no value when memory runs out.
  std::optional<RasterImage> Finish() const;

 private:
  // The pixels of the result that each source pixel along one side covers, with how much.
  using Cover = std::vector<std::pair<int, float>>;
  static std::vector<Cover> Covers(int source, int result);

  PictureSize size_;
  int channels_;
  int colours_;
  std::vector<Cover> columns_;
  std::vector<Cover> rows_;
  // per pixel of the result: each colour's light times opacity times cover, then opacity times
  // cover, then cover
  std::vector<float> sums_;
};

}  // namespace vandrel
