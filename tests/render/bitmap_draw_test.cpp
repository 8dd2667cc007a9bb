#include "render/bitmap_draw.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<std::uint32_t>(v[at + 3]) << 24;
}

TEST(DeviceIndependentBitmap, RowsRunBottomUpPaddedToFourBytes) {
    BitmapPtr b = createBitmap("d", 3, 2, 24);  // 9-byte rows become 12
    for (int i = 0; i < 9; ++i) {
        b->rows[0][i] = static_cast<std::uint8_t>(i + 1);
        b->rows[1][i] = static_cast<std::uint8_t>(i + 101);
    }
    const DeviceIndependentBitmap dib = makeDeviceIndependentBitmap(*b);
    EXPECT_EQ(dib.info.size(), 40u);
    EXPECT_EQ(read32(dib.info, 0), 40u);
    EXPECT_EQ(read32(dib.info, 4), 3u);
    EXPECT_EQ(read32(dib.info, 8), 2u);  // positive height: bottom-up
    EXPECT_EQ(dib.info[12], 1);
    EXPECT_EQ(dib.info[14], 24);
    EXPECT_EQ(dib.rowBytes, 12);
    ASSERT_EQ(dib.bits.size(), 24u);
    EXPECT_EQ(dib.bits[0], 101);  // the Bitmap's last row comes first
    EXPECT_EQ(dib.bits[12], 1);
    EXPECT_EQ(dib.bits[9], 0);  // padding
}

TEST(DeviceIndependentBitmap, EightBitColourTableIsBlueGreenRed) {
    BitmapPtr b = createBitmap("p", 4, 1, 8);
    b->palette[5] = PaletteEntry{0x10, 0x20, 0x30, 0};
    const DeviceIndependentBitmap dib = makeDeviceIndependentBitmap(*b);
    ASSERT_EQ(dib.info.size(), 40u + 1024u);
    EXPECT_EQ(dib.info[14], 8);
    EXPECT_EQ(dib.info[40 + 5 * 4 + 0], 0x30);
    EXPECT_EQ(dib.info[40 + 5 * 4 + 1], 0x20);
    EXPECT_EQ(dib.info[40 + 5 * 4 + 2], 0x10);
    EXPECT_EQ(dib.info[40 + 255 * 4], 255);
    EXPECT_EQ(dib.rowBytes, 4);
}

TEST(DrawPlan, ClippingKeepsTheScaleOfTheWholeRectangle) {
    // A 100x50 Bitmap stretched to 200x100 at (-20,-10); client 0..150 x 0..80.
    const DrawPlan p = planDraw(100, 50, IntRect{-20, -10, 180, 90}, IntRect{0, 0, 150, 80});
    ASSERT_FALSE(p.empty);
    EXPECT_EQ(p.destination, (IntRect{0, 0, 150, 80}));
    EXPECT_DOUBLE_EQ(p.sourceLeft, 10.0);
    EXPECT_DOUBLE_EQ(p.sourceTop, 5.0);
    EXPECT_DOUBLE_EQ(p.sourceWidth, 75.0);
    EXPECT_DOUBLE_EQ(p.sourceHeight, 40.0);
    EXPECT_FALSE(p.colourOnColour);
}

TEST(DrawPlan, ShrinkingDropsPixelsAndOutsideDrawsNothing) {
    EXPECT_TRUE(planDraw(100, 50, IntRect{0, 0, 99, 50}, IntRect{0, 0, 500, 500}).colourOnColour);
    EXPECT_TRUE(planDraw(100, 50, IntRect{0, 0, 100, 49}, IntRect{0, 0, 500, 500}).colourOnColour);
    EXPECT_TRUE(planDraw(100, 50, IntRect{600, 0, 700, 50}, IntRect{0, 0, 500, 500}).empty);
    EXPECT_TRUE(planDraw(0, 50, IntRect{0, 0, 10, 10}, IntRect{0, 0, 500, 500}).empty);
}

}  // namespace
}  // namespace lv
