#include <gtest/gtest.h>

#include <vector>

#include "display/back_buffer_display.h"

namespace lv {
namespace {

class FakeClock : public Clock {
public:
    std::uint32_t now = 1000;
    std::uint32_t milliseconds() override { return now++; }  // time moves as it is read
};

TEST(BackBufferDisplay, RowsArePaddedToFourBytes) {
    for (int width : {1, 2, 3, 5, 7, 640}) {
        BackBufferDisplay display(width, 3);
        EXPECT_EQ(display.rowBytes() % 4, 0) << width;
        EXPECT_GE(display.rowBytes(), width * 3);
        EXPECT_LT(display.rowBytes(), width * 3 + 4);
    }
}

TEST(BackBufferDisplay, LockGivesTheViewBottomUp) {
    BackBufferDisplay display(8, 4);
    std::vector<LockedOutput> locked;
    ASSERT_TRUE(display.lock(locked));
    ASSERT_EQ(locked.size(), 1u);
    EXPECT_EQ(locked[0].pitch, -display.rowBytes());
    EXPECT_EQ(locked[0].area, (Rect{0, 0, 8, 4}));
    const std::uint32_t red = 0xFF0000;
    storePixels(*locked[0].format, &red, 1, locked[0].at(2, 1));
    display.unlockAndPresent();
    EXPECT_EQ(display.snapshot()[1 * 8 + 2], red);
    EXPECT_EQ(display.bufferRow(1)[6 + 2], 0xFF);
}

TEST(BackBufferDisplay, AViewPartlyOutsideLocksOnlyTheInsidePart) {
    BackBufferDisplay display(10, 10);
    display.setView(Rect{-3, 6, 8, 20});
    std::vector<LockedOutput> locked;
    ASSERT_TRUE(display.lock(locked));
    EXPECT_EQ(locked[0].area, (Rect{0, 6, 5, 4}));
    display.unlockAndPresent();
    display.setView(Rect{20, 20, 5, 5});
    EXPECT_FALSE(display.lock(locked));
}

// A larger picture is cropped at the corner; a smaller one is centred with
// the borders painted black over what was shown before.
TEST(BackBufferDisplay, ShowCentredCropsOrPaintsTheBordersBlack) {
    BackBufferDisplay display(4, 3);
    std::vector<std::uint32_t> picture(6 * 5);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i + 1);
    ASSERT_TRUE(showCentred(display, picture.data(), 6, 5, 6));
    const std::vector<std::uint32_t> shown = display.snapshot();
    EXPECT_EQ(shown[0], 1u);
    EXPECT_EQ(shown[3], 4u);
    EXPECT_EQ(shown[2 * 4 + 3], static_cast<std::uint32_t>(2 * 6 + 3 + 1));

    BackBufferDisplay wide(6, 4);
    std::vector<std::uint32_t> white(6 * 4, 0xFFFFFF);
    showCentred(wide, white.data(), 6, 4, 6);
    std::vector<std::uint32_t> dot(2 * 2, 0x123456);
    showCentred(wide, dot.data(), 2, 2, 2);
    const std::vector<std::uint32_t> centred = wide.snapshot();
    EXPECT_EQ(centred[0], 0u);
    EXPECT_EQ(centred[1 * 6 + 2], 0x123456u);
    EXPECT_EQ(centred[2 * 6 + 3], 0x123456u);
    EXPECT_EQ(centred[1 * 6 + 1], 0u);  // left and right of the picture
    EXPECT_EQ(centred[2 * 6 + 4], 0u);
    EXPECT_EQ(centred[3 * 6 + 5], 0u);
}

TEST(BackBufferDisplay, BlitNeedsEqualSizesAndIsClipped) {
    BackBufferDisplay display(4, 4);
    auto surface = display.createOffscreen(3, 3);
    ASSERT_NE(surface, nullptr);
    for (int y = 0; y < 3; ++y) std::fill(surface->row(y), surface->row(y) + 9, 0x7F);
    EXPECT_EQ(display.blit(*surface, Rect{0, 0, 3, 3}, Rect{0, 0, 2, 2}), 1);
    EXPECT_EQ(display.blit(*surface, Rect{0, 0, 3, 3}, Rect{2, 2, 3, 3}), 0);
    const std::vector<std::uint32_t> shown = display.snapshot();
    EXPECT_EQ(shown[3 * 4 + 3], 0x7F7F7Fu);
    EXPECT_EQ(shown[1 * 4 + 1], 0u);
    EXPECT_EQ(display.createOffscreen(0, 5), nullptr);
    EXPECT_EQ(display.createOffscreen(70000, 5), nullptr);
}

TEST(BackBufferDisplay, FillBlackIsClippedToTheBuffer) {
    BackBufferDisplay display(3, 3);
    std::vector<std::uint32_t> white(9, 0xFFFFFF);
    showCentred(display, white.data(), 3, 3, 3);
    EXPECT_EQ(display.fillBlack(Rect{-10000, 1, 20000, 1}), 0);
    const std::vector<std::uint32_t> shown = display.snapshot();
    EXPECT_EQ(shown[0], 0xFFFFFFu);
    EXPECT_EQ(shown[3], 0u);
    EXPECT_EQ(shown[6], 0xFFFFFFu);
}

TEST(BackBufferDisplay, FramesAreAtLeast33MillisecondsApart) {
    FakeClock clock;
    BackBufferDisplay display(2, 2, &clock);
    display.waitForFrame();
    const std::uint32_t first = clock.now;
    display.waitForFrame();
    EXPECT_GE(clock.now - first, 33u);
}

TEST(BackBufferDisplay, RefusedSizesLockNothing) {
    BackBufferDisplay display(0, 10);
    std::vector<LockedOutput> locked;
    EXPECT_FALSE(display.lock(locked));
    display.resize(5, 5);
    EXPECT_FALSE(display.lock(locked));  // not before check
    display.check();
    EXPECT_TRUE(display.lock(locked));
}

}  // namespace
}  // namespace lv
