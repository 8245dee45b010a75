#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"

namespace vandrel {

// What a picture file holds, told by its first bytes whatever its name says.
enum class ImageType { Jpeg, Png, Bmp, Gif, Webp };

std::optional<ImageType> DetectImageType(std::span<const std::uint8_t> image);

// The format a fitted picture of that type is written in: its own, but a GIF or a WebP becomes a
// PNG, which keeps its exact colours and transparency without a palette and adds no loss of its
// own to a WebP that already had some.
PictureFormat FittedFormat(ImageType type);

// Whether the handset takes pictures of that type at all: a WebP goes only fitted.
bool HandsetTakes(ImageType type);

}  // namespace vandrel
