#include "picture/fitted_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace vandrel {
namespace {

TEST(FittedSize, KeepsTheProportionsInsideTheBox) {
  const struct {
    PictureSize image;
    PictureSize box;
    std::optional<std::pair<int, int>> fitted;
  } cases[] = {// a portrait photo in a portrait screen: the height bounds it
               {{3000, 4000}, {128, 160}, std::pair(120, 160)},
               // 1000 x 700 in 96 x 65: a width of 92.86 rounds up
               {{1000, 700}, {96, 65}, std::pair(93, 65)},
               // a side that would round to nothing keeps one pixel
               {{10000, 10}, {100, 100}, std::pair(100, 1)},
               // already fits, to the pixel; a box without area fits nothing
               {{128, 160}, {128, 160}, std::nullopt},
               {{400, 300}, {0, 160}, std::nullopt}};
  for (const auto& c : cases) {
    const std::optional<PictureSize> fitted = FittedSize(c.image, c.box);
    EXPECT_EQ(fitted ? std::optional(std::pair(fitted->width, fitted->height)) : std::nullopt,
              c.fitted);
  }
}

}  // namespace
}  // namespace vandrel
