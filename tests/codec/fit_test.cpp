#include "codec/fit.h"

#include <gtest/gtest.h>

#include "codec/jpeg.h"

namespace lv {
namespace {

TEST(FitSize, KeepsTheAspectRatioInsideTheBox) {
    EXPECT_EQ(fitSize({4000, 3000}, {160, 120}), (PictureSize{160, 120}));
    EXPECT_EQ(fitSize({4000, 3000}, {900, 700}), (PictureSize{900, 675}));
    EXPECT_EQ(fitSize({4000, 3000}, {2100, 1600}), (PictureSize{2100, 1575}));
    EXPECT_EQ(fitSize({3000, 4000}, {900, 700}), (PictureSize{525, 700}));
}

TEST(FitSize, RoundsInFixedPoint) {
    // 77x53 into 19 wide: 19 * 53 / 77 = 13.08 -> 13; into 10 high: 14.53 -> 15.
    EXPECT_EQ(fitSize({77, 53}, {19, 100}), (PictureSize{19, 13}));
    EXPECT_EQ(fitSize({77, 53}, {100, 10}), (PictureSize{15, 10}));
    EXPECT_EQ(fitSize({65535, 1}, {65535, 65535}), (PictureSize{65535, 1}));
}

struct ScaleCase {
    PictureSize source, wanted;
    int scale;
};

class ReducedScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ReducedScale, FollowsTheFittedSize) {
    const ScaleCase& c = GetParam();
    EXPECT_EQ(codec::reducedScaleFor(c.source, fitSize(c.source, c.wanted)), c.scale);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReducedScale,
                         ::testing::Values(ScaleCase{{4000, 3000}, {160, 120}, 8},
                                           ScaleCase{{4000, 3000}, {900, 700}, 4},
                                           ScaleCase{{4000, 3000}, {2100, 1600}, 1},  // no scale 1/2
                                           ScaleCase{{4000, 3000}, {500, 375}, 8},
                                           ScaleCase{{4000, 3000}, {501, 376}, 4},
                                           ScaleCase{{4000, 3000}, {1001, 751}, 1}));

}  // namespace
}  // namespace lv
