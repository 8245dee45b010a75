#include "picture/fitted_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace vandrel {
namespace {

struct FitCase {
  PictureSize image;
  PictureSize box;
  std::optional<std::pair<int, int>> fitted;
};

class FittedSizeTest : public testing::TestWithParam<FitCase> {};

TEST_P(FittedSizeTest, KeepsTheProportionsInsideTheBox) {
  const FitCase& c = GetParam();
  const std::optional<PictureSize> fitted = FittedSize(c.image, c.box);
  EXPECT_EQ(fitted ? std::optional(std::pair(fitted->width, fitted->height)) : std::nullopt,
            c.fitted);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FittedSizeTest,
                         testing::Values(
                             // a portrait photo in a portrait screen: the height bounds it
                             FitCase{{3000, 4000}, {128, 160}, std::pair(120, 160)},
                             // 1000 x 700 in 96 x 65: a width of 92.86 rounds up
                             FitCase{{1000, 700}, {96, 65}, std::pair(93, 65)},
                             // a side that would round to nothing keeps one pixel
                             FitCase{{10000, 10}, {100, 100}, std::pair(100, 1)},
                             // already fits, to the pixel; a box without area fits nothing
                             FitCase{{128, 160}, {128, 160}, std::nullopt},
                             FitCase{{400, 300}, {0, 160}, std::nullopt}));

}  // namespace
}  // namespace vandrel
