#include "picture/fitted_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace vandrel {
namespace {

struct FitCase {
  PictureSize image;
  PictureSize box;
  std::optional<PictureSize> fitted;
};

class FittedSizeTest : public testing::TestWithParam<FitCase> {};

TEST_P(FittedSizeTest, KeepsTheProportionsInsideTheBox) {
  const FitCase& c = GetParam();
  const std::optional<PictureSize> fitted = FittedSize(c.image, c.box);
  ASSERT_EQ(fitted.has_value(), c.fitted.has_value());
  if (!fitted) return;
  EXPECT_EQ(std::pair(fitted->width, fitted->height), std::pair(c.fitted->width, c.fitted->height));
}

INSTANTIATE_TEST_SUITE_P(Sizes, FittedSizeTest,
                         testing::Values(
                             // a portrait photo in a portrait screen: the height bounds it
                             FitCase{{3000, 4000}, {128, 160}, PictureSize{120, 160}},
                             // 1000 x 700 in 96 x 65: a width of 92.86 rounds up
                             FitCase{{1000, 700}, {96, 65}, PictureSize{93, 65}},
                             // a side that would round to nothing keeps one pixel
                             FitCase{{10000, 10}, {100, 100}, PictureSize{100, 1}},
                             // already fits, to the pixel; a box without area fits nothing
                             FitCase{{128, 160}, {128, 160}, std::nullopt},
                             FitCase{{400, 300}, {0, 160}, std::nullopt}));

}  // namespace
}  // namespace vandrel
