#pragma once

#include <optional>

#include "picture/picture_fitting.h"

namespace vandrel {

// The largest size of `image`'s proportions that fits inside `box`, each side at least one
// pixel. No value when `image` already fits, or when `box` has no area.
std::optional<PictureSize> FittedSize(PictureSize image, PictureSize box);

}  // namespace vandrel
