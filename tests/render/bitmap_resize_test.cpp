#include "render/bitmap_resize.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "render/scaler.h"

namespace lv {
namespace {

BitmapPtr noiseBitmap(int width, int height, int depth, unsigned seed) {
    BitmapPtr b = createBitmap("noise", width, height, depth);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < b->stride; ++x) b->rows[y][x] = static_cast<std::uint8_t>(random());
    return b;
}

bool samePixels(const Bitmap& a, const Bitmap& b) {
    if (a.width != b.width || a.height != b.height || a.depth != b.depth) return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.rows[y], b.rows[y], a.stride) != 0) return false;
    return true;
}

TEST(ResizeMethod, PerAxisChoice) {
    EXPECT_EQ(resizeMethodFor(100, 99), kScaleHermite);
    EXPECT_EQ(resizeMethodFor(100, 100), kScaleBilinear);
    EXPECT_EQ(resizeMethodFor(100, 249), kScaleBilinear);
    EXPECT_EQ(resizeMethodFor(100, 250), kScaleCubic);
    EXPECT_EQ(resizeMethodFor(2, 5), kScaleCubic);
}

// Sides below one are refused, and a filtered method cannot enlarge.
TEST(ResizeBitmap, RefusesSidesBelowOneAndFilteredEnlargement) {
    BitmapPtr b = noiseBitmap(4, 4, 24, 1);
    EXPECT_FALSE(resizeBitmap(*b, 0, 3));
    EXPECT_FALSE(resizeBitmap(*b, 3, -1));
    EXPECT_FALSE(scaleBitmap(*b, 8, 8, kScaleBox, kScaleBox));
}

TEST(ResizeBitmap, SameSizeCopiesAndKeepsNameAndPalette) {
    BitmapPtr b = noiseBitmap(5, 3, 8, 2);
    BitmapPtr r = resizeBitmap(*b, 5, 3);
    ASSERT_TRUE(r);
    EXPECT_TRUE(samePixels(*b, *r));
    EXPECT_EQ(r->name, "noise");
    EXPECT_EQ(r->palette, greyRamp());
}

TEST(ResizeBitmap, ColourPaletteComesBackAs24Bits) {
    BitmapPtr b = noiseBitmap(6, 6, 8, 3);
    b->palette[7] = PaletteEntry{255, 0, 0, 0};
    BitmapPtr r = resizeBitmap(*b, 3, 9);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->depth, 24);
    // The same as resizing the expanded picture.
    BitmapPtr expected = resizeBitmap(*expandTo24(*b), 3, 9);
    EXPECT_TRUE(samePixels(*r, *expected));
}

TEST(ResizeBitmap, GreyIsScaledAsAnIntensityImage) {
    BitmapPtr grey = noiseBitmap(23, 17, 8, 4);
    BitmapPtr colour = expandTo24(*grey);
    for (auto [w, h] : {std::pair{9, 40}, std::pair{60, 5}, std::pair{23, 50}}) {
        BitmapPtr g = resizeBitmap(*grey, w, h);
        BitmapPtr c = resizeBitmap(*colour, w, h);
        ASSERT_TRUE(g && c);
        EXPECT_EQ(g->depth, 8);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(g->rows[y][x], c->rows[y][3 * x]) << w << "x" << h;
    }
}

TEST(ResizeBitmap, UsesTheMethodOfEachAxis) {
    BitmapPtr b = noiseBitmap(20, 10, 24, 5);
    EXPECT_TRUE(samePixels(*resizeBitmap(*b, 8, 30), *scaleBitmap(*b, 8, 30, kScaleHermite, kScaleCubic)));
    EXPECT_TRUE(samePixels(*resizeBitmap(*b, 45, 9), *scaleBitmap(*b, 45, 9, kScaleBilinear, kScaleHermite)));
}

}  // namespace
}  // namespace lv
