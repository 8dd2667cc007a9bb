#include "render/text_compose.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

// A mask with a solid 10x10 "letter" in a 20x20 box.
BitmapPtr squareMask() {
    BitmapPtr m = createBitmap("text", 20, 20, 8);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) m->rows[y][x] = (x >= 5 && x < 15 && y >= 5 && y < 15) ? 255 : 0;
    return m;
}

BitmapPtr white(int w, int h) {
    BitmapPtr b = createBitmap("t", w, h, 24);
    for (int y = 0; y < h; ++y) std::fill(b->rows[y], b->rows[y] + b->stride, 255);
    return b;
}

std::uint8_t red(const Bitmap& b, int x, int y) { return b.rows[y][3 * x + 2]; }
std::uint8_t blue(const Bitmap& b, int x, int y) { return b.rows[y][3 * x]; }

TEST(TextPlacement, CentredUnlessPlaced) {
    BitmapPtr target = white(400, 100);
    BitmapPtr mask = squareMask();
    EXPECT_EQ(placeText(*target, *mask, {}), (IntRect{190, 40, 210, 60}));
    TextLayers l;
    l.right = 300;
    l.bottom = 90;
    EXPECT_EQ(placeText(*target, *mask, l), (IntRect{280, 70, 300, 90}));
    l.left = 7;
    l.width = 50;
    EXPECT_EQ(placeText(*target, *mask, l), (IntRect{7, 70, 57, 90}));
}

TEST(TextLayersTest, OutlineDrawsARingAroundTheLetters) {
    BitmapPtr target = createBitmap("t", 60, 60, 24);
    for (int y = 0; y < 60; ++y) std::fill(target->rows[y], target->rows[y] + target->stride, 100);
    TextLayers l;
    l.left = 10;
    l.top = 10;
    l.outline = 2;
    l.outerColor = 0xFFFFFF;
    composeText(*target, *squareMask(), l);
    EXPECT_EQ(red(*target, 20, 20), 0);    // letter black
    EXPECT_EQ(red(*target, 14, 20), 255);  // one pixel left of the letter: ring
    EXPECT_EQ(red(*target, 13, 20), 255);  // two pixels left: ring
    EXPECT_EQ(red(*target, 12, 20), 100);  // three: the mask's background, untouched
}

TEST(TextLayersTest, ShadowFallsAnEighthOfTheHeightDownAndRight) {
    BitmapPtr target = white(80, 80);
    BitmapPtr mask = createBitmap("text", 40, 40, 8);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) mask->rows[y][x] = (x >= 10 && x < 30 && y >= 10 && y < 30) ? 255 : 0;
    TextLayers l;
    l.left = 20;
    l.top = 20;
    l.shadow = 128;
    l.innerColor = 0x0000FF;  // red letters, so the shadow shows apart
    composeText(*target, *mask, l);
    // Right of the letter, level with its middle, shifted by 5: half-dark.
    EXPECT_LT(blue(*target, 52, 45), 200);
    EXPECT_GT(blue(*target, 52, 45), 100);
    // Left of the letter there is no shadow.
    EXPECT_EQ(blue(*target, 27, 35), 255);
}

TEST(TextLayersTest, GlowSurroundsButLeavesTheLetters) {
    BitmapPtr target = white(60, 60);
    TextLayers l;
    l.left = 20;
    l.top = 20;
    l.innerColor = 0x00FF00;
    l.backlight = 0xFF0000;  // blue glow
    composeText(*target, *squareMask(), l);
    EXPECT_LT(red(*target, 24, 30), 255);  // just left of the letter: glow
    EXPECT_EQ(blue(*target, 30, 30), 0);   // the letter itself: green
}

TEST(TextLayersTest, GlowOfLargeTextIsCentredOnTheLetters) {
    // Tall enough that the glow's blur radius is 6 (two blurs, one margin).
    BitmapPtr target = white(160, 160);
    BitmapPtr mask = createBitmap("text", 60, 60, 8);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) mask->rows[y][x] = (x >= 20 && x < 40 && y >= 20 && y < 40) ? 255 : 0;
    TextLayers l;
    l.left = 50;
    l.top = 50;
    l.backlight = 0xFF0000;
    composeText(*target, *mask, l);
    // As much glow left of the letter as right of it.
    EXPECT_NEAR(red(*target, 67, 80), red(*target, 92, 80), 3);
    EXPECT_LT(red(*target, 67, 80), 255);
}

TEST(TextLayersTest, PatternLettersStartAtTheirOrigin) {
    BitmapPtr target = white(40, 40);
    BitmapPtr pattern = createBitmap("p", 2, 1, 24);
    std::fill(pattern->rows[0], pattern->rows[0] + 3, 10);
    std::fill(pattern->rows[0] + 3, pattern->rows[0] + 6, 200);
    TextLayers l;
    l.left = 0;
    l.top = 0;
    l.innerBit = pattern.get();
    l.innerBitX = 1;  // pattern column 0 at x = 1, 3, 5, ...
    composeText(*target, *squareMask(), l);
    EXPECT_EQ(red(*target, 5, 7), 10);
    EXPECT_EQ(red(*target, 6, 7), 200);
}

}  // namespace
}  // namespace lv
