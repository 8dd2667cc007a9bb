// The GDI font engine behind text masks.
#include <gtest/gtest.h>

#include "render/text_mask.h"

namespace lv {
namespace {

long ink(const Bitmap& b) {
    long n = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) n += b.rows[y][x] != 0;
    return n;
}

TEST(GdiTextMask, DrawsInkCentredInTheMeasuredSize) {
    FontDescription font;
    font.height = -20;
    BitmapPtr mask = renderTextMask(font, "Lumavine", false);
    ASSERT_TRUE(mask);
    EXPECT_GT(mask->width, 40);
    EXPECT_GE(mask->height, 18);
    EXPECT_GT(ink(*mask), 50);
    // Ink in both halves: the text fills its measured box.
    long left = 0, right = 0;
    for (int y = 0; y < mask->height; ++y)
        for (int x = 0; x < mask->width; ++x) (x < mask->width / 2 ? left : right) += mask->rows[y][x] != 0;
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
}

TEST(GdiTextMask, FourFoldGivesGreyEdgesAndBoldMoreInk) {
    FontDescription font;
    font.height = -24;
    BitmapPtr smooth = renderTextMask(font, "Aa", true);
    ASSERT_TRUE(smooth);
    bool grey = false;
    for (int y = 0; y < smooth->height; ++y)
        for (int x = 0; x < smooth->width; ++x) grey |= smooth->rows[y][x] > 0 && smooth->rows[y][x] < 252;
    EXPECT_TRUE(grey);
    BitmapPtr regular = renderTextMask(font, "Bold", false);
    font.weight = 700;
    BitmapPtr bold = renderTextMask(font, "Bold", false);
    EXPECT_GT(ink(*bold), ink(*regular));
}

}  // namespace
}  // namespace lv
