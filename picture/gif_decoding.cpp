#include "picture/gif_decoding.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/row_scaler.h"

namespace vandrel {
namespace {

constexpr int kChannels = 4;
constexpr std::uint8_t kOpaque = 255;

// Where each of an interlaced frame's four passes starts, and how many rows it steps.
constexpr std::array<int, 4> kInterlaceStart{0, 4, 2, 1};
constexpr std::array<int, 4> kInterlaceStep{8, 8, 4, 2};

struct Input {
  std::span<const std::uint8_t> bytes;
  std::size_t at = 0;
};

int ReadInput(GifFileType* gif, GifByteType* to, int wanted) {
  Input& input = *static_cast<Input*>(gif->UserData);
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(std::max(wanted, 0)),
                                                  input.bytes.size() - input.at);
  std::memcpy(to, input.bytes.data() + input.at, count);
  input.at += count;
  return static_cast<int>(count);
}

struct CloseGif {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, CloseGif>;

Gif Open(Input& input) {
  int error = 0;
  return Gif(DGifOpen(&input, ReadInput, &error));
}

// Reads records up to the first frame's descriptor; the transparent colour of its graphic
// control extension, if any, goes to `transparent`.
bool SkipToFirstFrame(GifFileType* gif, int& transparent) {
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
    if (type != EXTENSION_RECORD_TYPE) return false;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        transparent = control.TransparentColor;
    }
    while (block != nullptr)
      if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
}

// The frame's rows, in the order the file gives them.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  for (std::size_t pass = 0; pass < kInterlaceStart.size(); ++pass)
    for (int y = kInterlaceStart[pass]; y < height; y += kInterlaceStep[pass]) rows.push_back(y);
  return rows;
}

}  // namespace

std::optional<PictureSize> ReadGifSize(std::span<const std::uint8_t> image) {
  Input input{image};
  const Gif gif = Open(input);
  if (!gif || gif->SWidth <= 0 || gif->SHeight <= 0) return std::nullopt;
  return PictureSize{.width = gif->SWidth, .height = gif->SHeight};
}

std::optional<RasterImage> DecodeGif(std::span<const std::uint8_t> image, PictureSize size,
                                     std::int64_t maxPixels) {
  Input input{image};
  const Gif gif = Open(input);
  if (!gif || gif->SWidth <= 0 || gif->SHeight <= 0 ||
      std::int64_t{gif->SWidth} * gif->SHeight > maxPixels)
    return std::nullopt;
  int transparent = NO_TRANSPARENT_COLOR;
  if (!SkipToFirstFrame(gif.get(), transparent)) return std::nullopt;
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  // a frame larger than the screen is cut to it, but every one of its pixels is decoded
  if (colours == nullptr || frame.Width <= 0 || frame.Height <= 0 ||
      std::int64_t{frame.Width} * frame.Height > maxPixels)
    return std::nullopt;

  // Row by row into the scaler, in the order the file gives them: a screen row is what the frame
  // puts on it, transparent elsewhere; a row the frame does not reach is all transparent.
  const PictureSize screen{.width = gif->SWidth, .height = gif->SHeight};
  RowScaler scaler(screen, size, kChannels);
  std::vector<std::uint8_t> screenRow(static_cast<std::size_t>(screen.width) * kChannels);
  for (int y = 0; y < screen.height; ++y)
    if (y < frame.Top || y - frame.Top >= frame.Height) scaler.AddPixels(y, screenRow);
  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (const int row : RowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif.get(), line.data(), frame.Width) != GIF_OK) return std::nullopt;
    const int y = frame.Top + row;
    if (y < 0 || y >= screen.height) continue;
    std::ranges::fill(screenRow, 0);
    for (int column = 0; column < frame.Width; ++column) {
      const int x = frame.Left + column;
      const int index = line[static_cast<std::size_t>(column)];
      if (x < 0 || x >= screen.width || index == transparent || index >= colours->ColorCount)
        continue;
      const GifColorType colour = colours->Colors[index];
      std::uint8_t* pixel = screenRow.data() + static_cast<std::size_t>(x) * kChannels;
      pixel[0] = colour.Red;
      pixel[1] = colour.Green;
      pixel[2] = colour.Blue;
      pixel[3] = kOpaque;
    }
    scaler.AddPixels(y, screenRow);
  }
  return scaler.Finish();
}

}  // namespace vandrel
