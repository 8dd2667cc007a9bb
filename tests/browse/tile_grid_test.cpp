#include "browse/tile_grid.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

TileGrid grid(int w, int h, int count, int scroll = 0) { return TileGrid{{w, h}, {100, 100}, false, scroll, count}; }
TileGrid strip(int w, int h, int count, int scroll = 0) { return TileGrid{{w, h}, {100, 100}, true, scroll, count}; }

// A grid has rows of whole columns, a strip columns of whole rows; a narrow
// window still has one line.
TEST(TileLayout, LinesOfWholeTiles) {
    const TileGrid g = grid(350, 300, 10, 7);
    EXPECT_EQ(g.lines(), 3);
    EXPECT_EQ(g.tileRect(4), (ViewRect{100, 93, 200, 193}));
    const TileGrid s = strip(500, 250, 10, 30);
    EXPECT_EQ(s.lines(), 2);
    EXPECT_EQ(s.tileRect(3), (ViewRect{70, 100, 170, 200}));
    EXPECT_EQ(grid(50, 300, 3).lines(), 1);
}

// The gap right of the last column and places past the list hit no tile.
TEST(TileHit, PointsHitTheTileUnderThem) {
    EXPECT_EQ(grid(350, 300, 10).hitTest(150, 150), 4);
    EXPECT_EQ(grid(350, 300, 10, 100).hitTest(0, 0), 3);
    EXPECT_EQ(strip(500, 100, 10).hitTest(250, 50), 2);
    EXPECT_EQ(grid(350, 300, 10).hitTest(320, 20), -1);
    EXPECT_EQ(strip(500, 250, 10).hitTest(50, 220), -1);
    EXPECT_EQ(grid(350, 300, 5).hitTest(250, 150), -1);
    EXPECT_EQ(grid(350, 300, 5).hitTest(-1, 0), -1);
}

// The maximum comes from the last tile; requests stay within zero and it.
TEST(TileScroll, RequestsAreLimitedToZeroAndTheMaximum) {
    EXPECT_EQ(grid(350, 300, 10).scrollMaximum(), 99);  // 4 rows of 100 in 300
    EXPECT_LT(grid(350, 300, 3).scrollMaximum(), 0);
    const TileGrid g = grid(350, 250, 30, 50);
    EXPECT_EQ(scrollTarget(g, ScrollRequest::LineOn), 150);
    EXPECT_EQ(scrollTarget(g, ScrollRequest::LineBack), 0);
    EXPECT_EQ(scrollTarget(g, ScrollRequest::PageOn), 250);  // 250 - 250 % 100 = 200 more
    EXPECT_EQ(scrollTarget(g, ScrollRequest::End), g.scrollMaximum());
    EXPECT_EQ(scrollTarget(g, ScrollRequest::Position, 100000), g.scrollMaximum());
}

TEST(TileScroll, WheelTurnsWholeNotches) {
    EXPECT_EQ(wheelLines(-240), 2);
    EXPECT_EQ(wheelLines(60), 0);
    EXPECT_EQ(wheelLines(120), -1);
}

TEST(TileScroll, BringsATileFullyIntoView) {
    const TileGrid g = grid(300, 250, 30, 0);
    EXPECT_EQ(scrollToShow(g, 7), 50);   // row 2 ends at 300
    EXPECT_EQ(scrollToShow(grid(300, 250, 30, 400), 0), 0);
}

TEST(TileKeys, EmptyListDoesNothing) {
    for (TileKey key : {TileKey::Home, TileKey::End, TileKey::Down, TileKey::PageDown, TileKey::Enter}) {
        const KeyOutcome o = tileKey(grid(300, 300, 0), key, -1, true);
        EXPECT_EQ(o.target, -1);
        EXPECT_EQ(o.scrollTo, -1);
        EXPECT_FALSE(o.trigger);
    }
}

// Arrows follow the scrolling direction, targets are clamped to the list, and
// page keys on a hidden area step by one.
TEST(TileKeys, TargetsOfTheMovingKeys) {
    const TileGrid g = grid(300, 300, 20);
    EXPECT_EQ(tileKey(g, TileKey::Down, 1, true).target, 4);
    EXPECT_EQ(tileKey(g, TileKey::Right, 1, true).target, 2);
    EXPECT_EQ(tileKey(g, TileKey::PageDown, 3, false).target, 4);
    const TileGrid s = strip(600, 300, 20);
    EXPECT_EQ(tileKey(s, TileKey::Right, 1, true).target, 4);
    EXPECT_EQ(tileKey(s, TileKey::Down, 1, true).target, 2);
    const TileGrid few = grid(300, 300, 5);
    EXPECT_EQ(tileKey(few, TileKey::Up, 1, true).target, 0);
    EXPECT_EQ(tileKey(few, TileKey::End, 1, true).target, 4);
    EXPECT_EQ(tileKey(few, TileKey::PageDown, 1, true).target, 4);
}

TEST(TileKeys, PageDownWithTheSelectionOutOfViewScrolls) {
    const KeyOutcome o = tileKey(grid(300, 300, 60, 1000), TileKey::PageDown, 0, true);
    EXPECT_EQ(o.target, -1);
    EXPECT_EQ(o.scrollTo, 1300);
}

TEST(TileKeys, EnterTriggersOnlyASelectedTile) {
    EXPECT_TRUE(tileKey(grid(300, 300, 5), TileKey::Enter, 2, true).trigger);
    EXPECT_FALSE(tileKey(grid(300, 300, 5), TileKey::Enter, -1, true).trigger);
    EXPECT_TRUE(tileKey(grid(300, 300, 5), TileKey::Other, 2, true).passOn);
}

TEST(TileSides, BelowOneIsRefused) {
    EXPECT_FALSE(acceptableTileSide(0));
    EXPECT_FALSE(acceptableTileSide(-5));
    EXPECT_TRUE(acceptableTileSide(1));
}

}  // namespace
}  // namespace lv
