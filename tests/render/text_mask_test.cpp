#include "render/text_mask.h"

#include <gtest/gtest.h>

#include <set>

namespace lv {
namespace {

std::set<int> values(const Bitmap& b) {
    std::set<int> v;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) v.insert(b.rows[y][x]);
    return v;
}

TEST(TextMask, OneBitImageSizesFollowTheRenderingMode) {
    const OneBitImage plain = oneBitImageFor(17, 9, false);
    EXPECT_EQ(plain.width, 17);
    EXPECT_EQ(plain.height, 9);
    EXPECT_EQ(plain.rowBytes, 4);  // 17 bits raised to 32
    const OneBitImage four = oneBitImageFor(17, 9, true);
    EXPECT_EQ(four.width, 32);
    EXPECT_EQ(four.height, 12);
    EXPECT_EQ(four.rowBytes, 4);
}

TEST(TextMask, FourFoldBlocksBecomeCoverage) {
    OneBitImage image = oneBitImageFor(16, 4, true);
    // Left 4x4 block of byte 0 full; right block (low nibbles) has 4 set samples
    // in the bottom two rows and none above.
    for (int y = 0; y < 4; ++y) image.bits[y * image.rowBytes] = 0xF0;
    image.bits[2 * image.rowBytes] |= 0x03;
    image.bits[3 * image.rowBytes] |= 0x03;
    BitmapPtr mask = maskFromOneBitImage(image, true);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->name, "text");
    EXPECT_EQ(mask->width, 4);
    EXPECT_EQ(mask->height, 1);
    EXPECT_EQ(mask->rows[0][0], 252);
    EXPECT_EQ(mask->rows[0][1], 63);
    EXPECT_EQ(mask->rows[0][2], 0);
}

TEST(TextMask, PlainRenderingHoldsOnlyInkAndBackground) {
    FontDescription font;
    BitmapPtr mask = renderTextMask(font, "Hello", false);
    ASSERT_TRUE(mask);
    EXPECT_EQ(values(*mask), (std::set<int>{0, 255}));
}

TEST(TextMask, FourFoldRenderingIsTheSameSizeWithGreyEdges) {
    FontDescription font;
    font.height = -20;
    BitmapPtr plain = renderTextMask(font, "Lumavine", false);
    BitmapPtr smooth = renderTextMask(font, "Lumavine", true);
    ASSERT_TRUE(plain && smooth);
    EXPECT_NEAR(smooth->width, plain->width, 4);
    EXPECT_NEAR(smooth->height, plain->height, 4);
    const std::set<int> v = values(*smooth);
    EXPECT_EQ(*v.rbegin(), 252);
    EXPECT_GT(v.size(), 3u);  // grey levels between
    EXPECT_EQ(font.height, -20);  // the caller's description is unchanged
}

TEST(TextMask, BoldInksMoreAndLinesStack) {
    FontDescription font;
    font.height = -22;
    auto ink = [](const Bitmap& b) {
        long n = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) n += b.rows[y][x] != 0;
        return n;
    };
    BitmapPtr regular = renderTextMask(font, "Bold", false);
    font.weight = 700;
    BitmapPtr bold = renderTextMask(font, "Bold", false);
    EXPECT_GT(ink(*bold), ink(*regular));
    BitmapPtr two = renderTextMask(font, "one\ntwo", false);
    EXPECT_EQ(two->height, 2 * bold->height);
}

}  // namespace
}  // namespace lv
