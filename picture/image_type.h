#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture_fitting.h"

namespace vandrel {

// What a picture file holds, told by its first bytes whatever its name says.
enum class ImageType { Jpeg, Png, Bmp, Gif };

std::optional<ImageType> DetectImageType(std::span<const std::uint8_t> image);

// The format a fitted picture of that type is written in: its own, but a GIF becomes a PNG,
// which keeps its exact colours and transparency without a palette.
PictureFormat FittedFormat(ImageType type);

}  // namespace vandrel
