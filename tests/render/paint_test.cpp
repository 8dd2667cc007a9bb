#include "render/paint.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;

BitmapPtr filled(int w, int h, int depth, std::uint8_t value) {
    BitmapPtr b = createBitmap("t", w, h, depth);
    for (int y = 0; y < h; ++y) std::fill(b->rows[y], b->rows[y] + b->stride, value);
    return b;
}

const std::uint8_t* px(const Bitmap& b, int x, int y) { return b.rows[y] + x * (b.depth / 8); }

Paint colour(std::uint32_t c, int opacity = 255) {
    Paint p;
    p.colour = c;
    p.opacity = opacity;
    return p;
}

TEST(PaintPixel, OpacityBlendsWithTruncation) {
    BitmapPtr b = filled(4, 4, 24, 100);
    paintShape(*b, Shape{0, 0, 4, 4}, colour(0x00C8FF, 128), colour(0, 0));
    // blue: 100*127/255 + 0 = 49; green: 49 + 200*128/255 = 49 + 100; red: 49 + 128
    EXPECT_EQ(px(*b, 1, 1)[0], 49);
    EXPECT_EQ(px(*b, 1, 1)[1], 149);
    EXPECT_EQ(px(*b, 1, 1)[2], 177);
}

TEST(PaintPixel, ZeroOpacityLeavesAndFullOpacityStores) {
    BitmapPtr b = filled(3, 3, 24, 7);
    paintShape(*b, Shape{0, 0, 3, 3}, colour(kRed, 0), colour(kBlue, 0));
    EXPECT_EQ(px(*b, 2, 2)[0], 7);
    paintShape(*b, Shape{1, 1, 2, 2}, colour(kRed), colour(kBlue));
    EXPECT_EQ(px(*b, 1, 1)[2], 255);  // red inside
    EXPECT_EQ(px(*b, 1, 1)[0], 0);
    EXPECT_EQ(px(*b, 0, 0)[0], 255);  // blue outside
    EXPECT_EQ(px(*b, 0, 0)[2], 0);
}

TEST(PaintPixel, EightBitTargetsTakeTheLowByte) {
    BitmapPtr b = filled(2, 2, 8, 0);
    paintShape(*b, Shape{0, 0, 2, 2}, colour(0x123456), colour(0, 0));
    EXPECT_EQ(px(*b, 0, 0)[0], 0x56);
}

TEST(PaintPixel, MaskScalesOpacityAndTilesFromItsOrigin) {
    BitmapPtr b = filled(6, 1, 8, 0);
    BitmapPtr mask = createBitmap("m", 2, 1, 8);
    mask->rows[0][0] = 255;
    mask->rows[0][1] = 0;
    Paint p = colour(200);
    p.mask = mask.get();
    p.maskX = 1;  // mask column 0 falls on x = 1, 3, 5
    paintShape(*b, Shape{0, 0, 6, 1}, p, colour(0, 0));
    const std::uint8_t expected[] = {0, 200, 0, 200, 0, 200};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b->rows[0][x], expected[x]) << x;
}

TEST(PaintPixel, PatternTilesWithItsLeftEdgeAtItsOrigin) {
    BitmapPtr b = filled(8, 2, 8, 0);
    BitmapPtr pattern = createBitmap("p", 3, 1, 8);
    pattern->rows[0][0] = 10, pattern->rows[0][1] = 20, pattern->rows[0][2] = 30;
    Paint p;
    p.pattern = pattern.get();
    p.patternX = 5;
    paintShape(*b, Shape{0, 0, 8, 2}, p, colour(0, 0));
    // x = 5 is the pattern's column 0; x = 4 is column 2 (the modulo wraps into range).
    const std::uint8_t expected[] = {20, 30, 10, 20, 30, 10, 20, 30};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(b->rows[y][x], expected[x]) << x;
}

TEST(PaintPixel, PatternOfAnotherDepthIsIgnored) {
    BitmapPtr b = filled(2, 2, 24, 0);
    BitmapPtr pattern = filled(1, 1, 8, 99);
    Paint p = colour(0x010203);
    p.pattern = pattern.get();
    paintShape(*b, Shape{0, 0, 2, 2}, p, colour(0, 0));
    EXPECT_EQ(px(*b, 0, 0)[0], 1);
}

TEST(RectangleBand, WeightsGrowOutwardWithRoundCorners) {
    const Shape s{0, 0, 40, 30, ShapeKind::Rectangle, 10};
    EXPECT_EQ(rectangleWeight(s, 20, 15), 0);    // inner rectangle
    EXPECT_EQ(rectangleWeight(s, 9, 15), 11);    // first ring: 1 * 127 / 11
    EXPECT_EQ(rectangleWeight(s, 0, 15), 115);   // tenth ring: 10 * 127 / 11
    EXPECT_EQ(rectangleWeight(s, 39, 15), 115);  // same on the right (right is exclusive)
    EXPECT_EQ(rectangleWeight(s, 6, 6), 65);     // corner: trunc(sqrt(32) * 127 / 11)
    EXPECT_EQ(rectangleWeight(s, 1, 1), 127);    // beyond the corner's radius
    EXPECT_EQ(rectangleWeight(s, -1, 15), 127);  // outside
}

TEST(RectangleBand, ThicknessIsLimitedToHalfTheSize) {
    const Shape s{0, 0, 4, 40, ShapeKind::Rectangle, 50};
    // t = 2: columns 0 and 3 are the second ring, 1 and 2 the first.
    EXPECT_EQ(rectangleWeight(s, 1, 20), 127 / 3);
    EXPECT_EQ(rectangleWeight(s, 0, 20), 2 * 127 / 3);
}

TEST(RectangleBand, RedCentreShadesToBlueOutside) {
    BitmapPtr b = filled(60, 60, 24, 0);
    paintShape(*b, Shape{10, 10, 50, 50, ShapeKind::Rectangle, 10}, colour(kRed), colour(kBlue));
    EXPECT_EQ(px(*b, 30, 30)[2], 255);
    EXPECT_EQ(px(*b, 5, 5)[0], 255);
    EXPECT_EQ(px(*b, 5, 5)[2], 0);
    // Across the band red falls and blue rises monotonically.
    for (int x = 11; x < 20; ++x) {
        EXPECT_GE(px(*b, x, 30)[2], px(*b, x - 1, 30)[2]);
        EXPECT_LE(px(*b, x, 30)[0], px(*b, x - 1, 30)[0]);
    }
}

TEST(EllipseBand, InsideOutsideAndBand) {
    const Shape s{0, 0, 40, 20, ShapeKind::Ellipse, 0};
    EXPECT_EQ(ellipseWeight(s, 20, 10), 0);
    EXPECT_EQ(ellipseWeight(s, 0, 0), 127);
    EXPECT_EQ(ellipseWeight(s, 39, 19), 127);
    const Shape thick{0, 0, 40, 40, ShapeKind::Ellipse, 10};
    EXPECT_EQ(ellipseWeight(thick, 20, 20), 0);
    const int w = ellipseWeight(thick, 5, 20);  // in the band on the left
    EXPECT_GT(w, 0);
    EXPECT_LT(w, 127);
    EXPECT_LT(ellipseWeight(thick, 8, 20), w);  // further in, nearer the inside paint
}

TEST(EllipseBand, OutsideOpacityZeroChangesNothingOutside) {
    BitmapPtr b = filled(30, 30, 8, 9);
    paintShape(*b, Shape{5, 5, 25, 25, ShapeKind::Ellipse, 0}, colour(200), colour(0, 0));
    EXPECT_EQ(b->rows[15][15], 200);
    EXPECT_EQ(b->rows[5][5], 9);
    EXPECT_EQ(b->rows[0][29], 9);
}

}  // namespace
}  // namespace lv
