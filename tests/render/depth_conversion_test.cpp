#include "render/depth_conversion.h"

#include <gtest/gtest.h>

#include <set>

#include "render/display_palette.h"

namespace lv {
namespace {

BitmapPtr flat(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    BitmapPtr bm = createBitmap("flat", width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bm->rows[y][3 * x] = b;
            bm->rows[y][3 * x + 1] = g;
            bm->rows[y][3 * x + 2] = r;
        }
    return bm;
}

std::set<int> indexesUsed(const Bitmap& b) {
    std::set<int> used;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) used.insert(b.rows[y][x]);
    return used;
}

// The greys step by 11, by 12 after 77 and 166.
TEST(DisplayPalette, HoldsTheGreysAndNoColourTwice) {
    const Palette& p = displayPalette();
    EXPECT_EQ(p[213], (PaletteEntry{122, 122, 122, 0}));
    EXPECT_EQ(p[214], (PaletteEntry{133, 133, 133, 0}));
    // The cube holds no colour twice and none of the fixed entries.
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 256; ++i) {
        if (i == 8 || i == 9 || (i >= 239 && i <= 247)) continue;
        const std::uint32_t key = p[i].red << 16 | p[i].green << 8 | p[i].blue;
        EXPECT_TRUE(seen.insert(key).second) << "entry " << i;
    }
}

TEST(InverseColourMap, GreysMapOntoTheRampAndDuplicatesAreNeverChosen) {
    const InverseColourMap& m = inverseColourMap();
    EXPECT_EQ(m[colourCell(0, 0, 0)], 0);
    EXPECT_EQ(m[colourCell(255, 255, 255)], 255);
    EXPECT_EQ(m[colourCell(192, 192, 192)], 7);
    EXPECT_EQ(m[colourCell(128, 128, 128)], 214);
    EXPECT_EQ(m[colourCell(120, 120, 120)], 213);
    for (std::uint8_t index : m) {
        EXPECT_FALSE(index == 8 || index == 9 || (index >= 239 && index <= 247));
    }
}

TEST(ConvertTo8, WhiteAndBlackAreExact) {
    BitmapPtr white = convertTo8(*flat(37, 23, 255, 255, 255));
    ASSERT_TRUE(white);
    EXPECT_EQ(indexesUsed(*white), std::set<int>{255});
    BitmapPtr black = convertTo8(*flat(37, 23, 0, 0, 0));
    EXPECT_EQ(indexesUsed(*black), std::set<int>{0});
}

TEST(ConvertTo8, FlatGreyDithersBetweenTheTwoNearestGreys) {
    BitmapPtr grey = convertTo8(*flat(40, 40, 128, 128, 128));
    ASSERT_TRUE(grey);
    EXPECT_EQ(indexesUsed(*grey), (std::set<int>{213, 214}));
    // The dither keeps the average: 128 lies 6/11 of the way from 122 to 133.
    int count213 = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) count213 += grey->rows[y][x] == 213;
    EXPECT_NEAR(count213 / 1600.0, 5.0 / 11.0, 0.08);
    EXPECT_EQ(grey->palette, displayPalette());
}

TEST(ConvertTo8, ColourAverageIsKeptOverAnArea) {
    BitmapPtr converted = convertTo8(*flat(64, 64, 40, 160, 220));
    double r = 0, g = 0, b = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const PaletteEntry& e = displayPalette()[converted->rows[y][x]];
            r += e.red, g += e.green, b += e.blue;
        }
    EXPECT_NEAR(r / 4096, 220, 6);
    EXPECT_NEAR(g / 4096, 160, 6);
    EXPECT_NEAR(b / 4096, 40, 6);
}

TEST(ChangeDepth, OnlyTheTwoConversionsExist) {
    BitmapPtr colour = flat(3, 3, 1, 2, 3);
    BitmapPtr eight = changeDepth(*colour, 8);
    ASSERT_TRUE(eight);
    EXPECT_EQ(eight->depth, 8);
    BitmapPtr back = changeDepth(*eight, 24);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->depth, 24);
    EXPECT_FALSE(changeDepth(*eight, 8));
    EXPECT_FALSE(changeDepth(*colour, 24));
    EXPECT_FALSE(changeDepth(*colour, 16));
}

}  // namespace
}  // namespace lv
