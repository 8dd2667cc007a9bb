// Drawing Bitmaps into a real window, read back pixel by pixel.
#include "render/bitmap_draw_win32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/bitmap_module.h"
#include "render/colour_module.h"
#include "render/colour_module_win32.h"
#include "render/display_palette.h"

namespace lv {
namespace {

struct DrawWindow : ::testing::Test {
    HWND window = nullptr;
    HDC dc = nullptr;

    void SetUp() override {
        window = CreateWindowExA(0, "static", "draw test", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        dc = GetDC(window);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        if (dc) ReleaseDC(window, dc);
        if (window) DestroyWindow(window);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

// A 2x2 Bitmap: red, green / blue, white (stored blue-green-red).
BitmapPtr quadrants() {
    BitmapPtr b = createBitmap("q", 2, 2, 24);
    const std::uint8_t top[] = {0, 0, 255, 0, 255, 0};
    const std::uint8_t bottom[] = {255, 0, 0, 255, 255, 255};
    std::memcpy(b->rows[0], top, 6);
    std::memcpy(b->rows[1], bottom, 6);
    return b;
}

TEST_F(DrawWindow, StretchedPixelsLandInTheirQuadrantsRightWayUp) {
    BitmapPtr b = quadrants();
    drawBitmap(*b, dc, RECT{0, 0, 40, 40});
    EXPECT_EQ(at(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(at(35, 5), RGB(0, 255, 0));
    EXPECT_EQ(at(5, 35), RGB(0, 0, 255));
    EXPECT_EQ(at(35, 35), RGB(255, 255, 255));
}

TEST_F(DrawWindow, ClippedDestinationShowsTheMatchingPart) {
    BitmapPtr b = quadrants();
    // Twice the client width, shifted left: only the right column shows.
    drawBitmap(*b, dc, RECT{-64, 0, 64, 48});
    EXPECT_EQ(at(10, 5), RGB(0, 255, 0));
    EXPECT_EQ(at(10, 40), RGB(255, 255, 255));
}

TEST_F(DrawWindow, EightBitBitmapsGoThroughTheirPalette) {
    BitmapPtr b = createBitmap("p", 1, 1, 8);
    b->rows[0][0] = 7;
    b->palette[7] = PaletteEntry{10, 200, 30, 0};
    drawBitmap(*b, dc, RECT{0, 0, 64, 48});
    EXPECT_EQ(at(30, 20), RGB(10, 200, 30));
}

TEST(BitmapModule, ProbeReportsPaddedDeviceRows) {
    setDeviceRowsPadded(false);
    ASSERT_TRUE(startBitmapModule());
    EXPECT_TRUE(deviceRowsPadded());  // a 1x1 24-bit device bitmap has an even row length
}

TEST(ColourModule, LogicalPaletteHoldsTheDisplayPalette) {
    ASSERT_TRUE(startColourModule());
    HPALETTE palette = displayPaletteHandle();
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
    for (int i : {0, 7, 10, 200, 213, 255}) {
        EXPECT_EQ(entries[i].peRed, displayPalette()[i].red) << i;
        EXPECT_EQ(entries[i].peGreen, displayPalette()[i].green) << i;
        EXPECT_EQ(entries[i].peBlue, displayPalette()[i].blue) << i;
    }
    stopColourModule();
    EXPECT_EQ(displayPaletteHandle(), nullptr);
}

}  // namespace
}  // namespace lv
