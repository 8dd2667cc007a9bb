#include "render/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lv {
namespace {

// Fills a Bitmap with a pattern that differs at every byte position.
void fillPattern(Bitmap& b) {
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.stride; ++x) b.rows[y][x] = static_cast<std::uint8_t>(y * 31 + x * 7 + 1);
}

TEST(Bitmap, RowsAreUnpaddedAndContiguousWithThreeSpareBytes) {
    BitmapPtr b = createBitmap("b", 10, 4, 24);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->stride, 30);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(b->rows[y], b->pixels() + y * 30);
    // A 4-byte read at the last pixel stays inside the block (ASan checks this).
    std::uint32_t last;
    std::memcpy(&last, b->rows[3] + 27, 4);
    (void)last;

    BitmapPtr grey = createBitmap("g", 7, 3, 8);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->stride, 7);
    EXPECT_EQ(grey->palette, greyRamp());
}

TEST(Bitmap, EmptyImagesAreValid) {
    BitmapPtr b = createBitmap("e", 0, 0, 24);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->rows.size(), 0u);
    EXPECT_NE(b->pixels(), nullptr);
    EXPECT_TRUE(createBitmap("w0", 0, 5, 8));
    EXPECT_TRUE(createBitmap("h0", 5, 0, 8));
}

TEST(Bitmap, RefusesBadShapes) {
    for (int depth : {0, 1, 4, 15, 16, 32}) EXPECT_FALSE(createBitmap("d", 4, 4, depth)) << depth;
    EXPECT_FALSE(createBitmap("n", -1, 4, 24));
    EXPECT_FALSE(createBitmap("n", 4, -1, 8));
    EXPECT_FALSE(createBitmap("big", Bitmap::kMaxSide + 1, 1, 8));
    // Within the side limit but over the pixel budget: refused before allocating.
    EXPECT_FALSE(createBitmap("huge", Bitmap::kMaxSide, Bitmap::kMaxSide, 24));
}

TEST(Bitmap, RegistryListsLiveBitmapsInCreationOrder) {
    const std::size_t before = bitmapRegistry().size();
    BitmapPtr a = createBitmap("a", 1, 1, 8);
    BitmapPtr b = createBitmap("b", 1, 1, 8);
    BitmapPtr c = createBitmap("c", 1, 1, 8);
    ASSERT_EQ(bitmapRegistry().size(), before + 3);
    b.reset();
    ASSERT_EQ(bitmapRegistry().size(), before + 2);
    EXPECT_EQ(bitmapRegistry()[before], a.get());
    EXPECT_EQ(bitmapRegistry()[before + 1], c.get());
}

TEST(Bitmap, FreeIgnoresUnregisteredPointers) {
    BitmapPtr a = createBitmap("a", 2, 2, 8);
    Bitmap* raw = a.release();
    freeBitmap(raw);
    EXPECT_FALSE(isRegisteredBitmap(raw));
    freeBitmap(raw);  // second free: ignored, no double delete
    freeBitmap(nullptr);
    Bitmap stranger;
    freeBitmap(&stranger);  // never registered: left alone
}

TEST(Bitmap, CopyKeepsPixelsAndNameButNotThePalette) {
    BitmapPtr a = createBitmap("photo", 5, 3, 8);
    fillPattern(*a);
    a->palette[10] = PaletteEntry{255, 0, 0, 0};
    BitmapPtr c = copyBitmap(*a);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->name, "photo");
    EXPECT_EQ(c->depth, 8);
    EXPECT_EQ(std::memcmp(c->pixels(), a->pixels(), a->pixelBytes()), 0);
    EXPECT_EQ(c->palette, greyRamp());
    EXPECT_NE(c->pixels(), a->pixels());
}

struct CropCase : ::testing::Test {
    BitmapPtr b = createBitmap("c", 6, 5, 24);
    void SetUp() override { fillPattern(*b); }
    std::uint8_t originalAt(int x, int y, int channel) const { return static_cast<std::uint8_t>(y * 31 + (x * 3 + channel) * 7 + 1); }
};

TEST_F(CropCase, InsideRectangleKeepsThoseBytes) {
    ASSERT_EQ(cropBitmap(*b, 1, 2, 4, 5), 0);
    EXPECT_EQ(b->width, 3);
    EXPECT_EQ(b->height, 3);
    EXPECT_EQ(b->stride, 9);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(b->rows[y][x * 3 + ch], originalAt(x + 1, y + 2, ch));
}

TEST_F(CropCase, PartlyOutsideIsClamped) {
    ASSERT_EQ(cropBitmap(*b, -5, -5, 2, 100), 0);
    EXPECT_EQ(b->width, 2);
    EXPECT_EQ(b->height, 5);
    EXPECT_EQ(b->rows[4][5], originalAt(1, 4, 2));
}

TEST_F(CropCase, OutsideOrEmptyFailsAndChangesNothing) {
    const std::uint8_t* pixels = b->pixels();
    EXPECT_EQ(cropBitmap(*b, 6, 0, 10, 5), -1);
    EXPECT_EQ(cropBitmap(*b, 3, 3, 3, 4), -1);
    EXPECT_EQ(cropBitmap(*b, 4, 1, 2, 3), -1);
    EXPECT_EQ(b->width, 6);
    EXPECT_EQ(b->height, 5);
    EXPECT_EQ(b->pixels(), pixels);
}

TEST(Bitmap, ExpandTo24UsesThePaletteInPixelByteOrder) {
    BitmapPtr a = createBitmap("pal", 3, 1, 8);
    a->palette[1] = PaletteEntry{0x11, 0x22, 0x33, 0};
    a->rows[0][0] = 1;
    a->rows[0][1] = 200;
    a->rows[0][2] = 1;
    BitmapPtr e = expandTo24(*a);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, "pal");
    EXPECT_EQ(e->depth, 24);
    const std::uint8_t expected[] = {0x33, 0x22, 0x11, 200, 200, 200, 0x33, 0x22, 0x11};
    EXPECT_EQ(std::memcmp(e->rows[0], expected, 9), 0);
    EXPECT_FALSE(expandTo24(*e));
}

}  // namespace
}  // namespace lv
