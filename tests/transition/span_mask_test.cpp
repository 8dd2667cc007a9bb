#include <gtest/gtest.h>

#include "span_fixture.h"
#include "transition/blend_kernels.h"
#include "transition/span_mask.h"

namespace lv {
namespace {

using test::fullPattern;
using Points = test::Spots;
using test::spotsOf;

class SpanMasks : public ::testing::Test {
protected:
    SurfacePtr a = fullPattern(20, 12, 1), b = fullPattern(20, 12, 2);
    SetSource source{a.get(), b.get()};
    ClaimMap claims{20, 12};
};

TEST_F(SpanMasks, ColumnAndRowSetsCarryBothValuesUnlessTheSurfacesDiffer) {
    const PixelSet column = columnSet(source, 3, 2, 4, true);
    EXPECT_EQ(spotsOf(column), (Points{{3, 2}, {3, 3}, {3, 4}, {3, 5}}));
    EXPECT_EQ(column.pixels[1].incoming, b->row(3)[3]);
    EXPECT_EQ(column.pixels[1].outgoing, a->row(3)[3]);
    EXPECT_EQ(spotsOf(rowSet(source, 0, 18, 5, false)), (Points{{18, 0}, {19, 0}}));
    // Surfaces of different sizes give empty sets.
    SurfacePtr other = fullPattern(21, 12, 3);
    EXPECT_TRUE(columnSet(SetSource{a.get(), other.get()}, 0, 0, 5, true).pixels.empty());
}

TEST_F(SpanMasks, LinesAndRingsOfOnePointAndBresenhamFromTheUpperEnd) {
    EXPECT_EQ(spotsOf(lineSet(source, 5, 5, 5, 5, claims, false)), (Points{{5, 5}}));
    EXPECT_EQ(spotsOf(circleRingSet(source, 4, 4, 0, claims, false)), (Points{{4, 4}}));
    EXPECT_EQ(spotsOf(lineSet(source, 6, 3, 0, 0, claims, false)),
              (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}}));
}

TEST_F(SpanMasks, CrossingLinesGiveTheCrossingToTheFirst) {
    const PixelSet first = lineSet(source, 0, 0, 8, 8, claims, false);
    const PixelSet second = lineSet(source, 8, 0, 0, 8, claims, false);
    EXPECT_EQ(first.pixels.size(), 9u);
    EXPECT_EQ(second.pixels.size(), 8u);  // (4, 4) went to the first line
}

TEST_F(SpanMasks, CircleRingIsSymmetricAndClipped) {
    const PixelSet ring = circleRingSet(source, 5, 5, 3, claims, true);
    const Points p = spotsOf(ring);
    for (const auto& [x, y] : p) {
        EXPECT_NE(std::find(p.begin(), p.end(), std::make_pair(10 - x, y)), p.end());
        EXPECT_NE(std::find(p.begin(), p.end(), std::make_pair(x, 10 - y)), p.end());
    }
    EXPECT_NE(std::find(p.begin(), p.end(), std::make_pair(5, 2)), p.end());
    const PixelSet corner = circleRingSet(source, 0, 0, 2, claims, false);
    for (const auto& [x, y] : spotsOf(corner)) EXPECT_TRUE(x >= 0 && y >= 0);
}

TEST_F(SpanMasks, RectanglesAndPointsKeepTheirInnerPartInRowOrder) {
    const PixelSet inner = rectangleSet(source, Rect{18, 10, 5, 5}, false);
    EXPECT_EQ(spotsOf(inner), (Points{{18, 10}, {19, 10}, {18, 11}, {19, 11}}));
    const PixelSet outside = rectangleSet(source, Rect{30, 30, 4, 4}, false);
    EXPECT_TRUE(outside.pixels.empty());
    EXPECT_EQ(outside.rowCount(), 12);
    // Points are sorted by row, then column; those outside are left out.
    const PixelSet set = setFromPoints(source, {{4, 2, 1, 2}, {1, 2, 3, 4}, {7, 0, 5, 6}, {99, 1, 0, 0}});
    EXPECT_EQ(spotsOf(set), (Points{{7, 0}, {1, 2}, {4, 2}}));
    EXPECT_EQ(set.pixels[1].incoming, 4u);
}

TEST_F(SpanMasks, BatchFetchFillsValues) {
    PixelSet first = rectangleSet(source, Rect{1, 1, 3, 3}, false), second = columnSet(source, 9, 0, 12, false);
    std::vector<PixelSet*> sets = {&first, &second};
    fetchValues(source, sets);
    EXPECT_TRUE(first.valuesFetched);
    EXPECT_EQ(second.pixels[11].incoming, b->row(11)[9]);
    EXPECT_EQ(first.pixels[4].outgoing, a->row(2)[2]);
}

class FramePainting : public SpanMasks {
protected:
    BackBufferDisplay display{20, 12};
    void SetUp() override { showCentred(display, a->pixels.data(), 20, 12, 20); }
};

TEST_F(FramePainting, EmptyMergeIsTwoZeroWordsAndPaintsNothing) {
    FrameRecord frame;
    mergeSets({}, frame);
    EXPECT_EQ(frame.size(), 4u);
    EXPECT_EQ(frame.capacity(), FrameRecord::kFirstSize);
    ASSERT_TRUE(paintFrameRecord(frame, display, 0, 0, nullptr));
    EXPECT_EQ(display.snapshot(), a->pixels);
}

TEST_F(FramePainting, ModesShowBlendAndFill) {
    PixelSet show = rectangleSet(source, Rect{0, 0, 4, 4}, true);
    PixelSet blend = rectangleSet(source, Rect{4, 0, 4, 4}, true);
    blend.mode = SetMode::Blend;
    blend.level = 128;
    PixelSet fill = rectangleSet(source, Rect{8, 0, 4, 4}, false);
    fill.mode = SetMode::Fill;
    fill.colour = 0;
    FrameRecord frame;
    mergeSets({&fill, &blend, &show}, frame);
    ASSERT_TRUE(paintFrameRecord(frame, display, 0, 0, nullptr));
    const auto shown = display.snapshot();
    EXPECT_EQ(shown[1 * 20 + 2], b->row(1)[2]);
    std::uint32_t mix = 0;
    blendRowPlain(&a->row(1)[5], &b->row(1)[5], 1, 128, 0, &mix);
    EXPECT_EQ(shown[1 * 20 + 5], mix);
    EXPECT_EQ(shown[1 * 20 + 9], 0u);
    EXPECT_EQ(shown[5 * 20 + 2], a->row(5)[2]);
}

// Clipped to the visible region and the window; runs crossing several visible spans keep their columns.
TEST_F(FramePainting, ClippedToTheVisibleRegionAndTheWindow) {
    PixelSet all = rectangleSet(source, Rect{0, 0, 20, 12}, true);
    FrameRecord frame;
    mergeSets({&all}, frame);
    const VisibleRegion corner = VisibleRegion::build({{0, 0, 10, 6}}, 20, 12);
    ASSERT_TRUE(paintFrameRecord(frame, display, 3, 0, &corner));
    auto shown = display.snapshot();
    EXPECT_EQ(shown[2 * 20 + 5], b->row(2)[2]);  // shifted by 3
    EXPECT_EQ(shown[2 * 20 + 12], a->row(2)[12]);
    EXPECT_EQ(shown[8 * 20 + 5], a->row(8)[5]);
    showCentred(display, a->pixels.data(), 20, 12, 20);
    const VisibleRegion columns = VisibleRegion::build({{2, 0, 5, 12}, {9, 0, 17, 12}}, 20, 12);
    ASSERT_TRUE(paintFrameRecord(frame, display, 0, 0, &columns));
    shown = display.snapshot();
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = (x >= 2 && x < 5) || (x >= 9 && x < 17);
            EXPECT_EQ(shown[y * 20 + x], inside ? b->row(y)[x] : a->row(y)[x]) << x << ", " << y;
        }
    }
}

TEST(FrameRecordPainting, LongRowsAndInterleavedSetsPaintEveryPixel) {
    // Rows far longer than one gathered run, blended; on the last row two
    // sets of one group whose columns interleave.
    constexpr int kWidth = 2100;  // more than one batch of the painter
    const SurfacePtr a = fullPattern(kWidth, 3, 1), b = fullPattern(kWidth, 3, 2);
    const SetSource source{a.get(), b.get()};
    BackBufferDisplay display(kWidth, 3);
    showCentred(display, a->pixels.data(), kWidth, 3, kWidth);
    PixelSet blended = rectangleSet(source, Rect{0, 0, kWidth, 2}, true);
    blended.mode = SetMode::Blend;
    blended.level = 100;
    std::vector<PointValue> even, odd;
    for (int x = 0; x < kWidth; ++x) (x % 2 == 0 ? even : odd).push_back(PointValue{x, 2, a->row(2)[x], b->row(2)[x]});
    const PixelSet evenSet = setFromPoints(source, even), oddSet = setFromPoints(source, odd);
    FrameRecord frame;
    mergeSets({&evenSet, &blended, &oddSet}, frame);
    ASSERT_TRUE(paintFrameRecord(frame, display, 0, 0, nullptr));
    std::vector<std::uint32_t> expected(a->pixels.size());
    blendRowPlain(a->pixels.data(), b->pixels.data(), 2 * kWidth, 100, 0, expected.data());
    std::copy_n(b->row(2), kWidth, expected.begin() + 2 * kWidth);
    EXPECT_EQ(display.snapshot(), expected);
}

TEST(VisibleRegion, SpansJoinAndRowsShare) {
    EXPECT_TRUE(VisibleRegion::build({{-5, -5, 50, 50}}, 10, 10).allVisible());
    EXPECT_FALSE(VisibleRegion::build({{0, 0, 10, 9}}, 10, 10).allVisible());
    const VisibleRegion region = VisibleRegion::build({{0, 0, 3, 2}, {3, 0, 5, 1}, {7, 1, 9, 2}}, 10, 3);
    EXPECT_EQ(region.spans(0), (std::vector<std::int32_t>{0, 5}));
    EXPECT_EQ(region.spans(1), (std::vector<std::int32_t>{0, 3, 7, 9}));
    EXPECT_TRUE(region.spans(2).empty());
    EXPECT_EQ(region.dump(),
              "nr of rectangles = 3\n"
              "  rect[   0] = {   0,   0,   3,   2}\n"
              "  rect[   1] = {   3,   0,   5,   1}\n"
              "  rect[   2] = {   7,   1,   9,   2}\n"
              "  line[   0], #segments = 1 [   0,   5]\n"
              "  line[   1], #segments = 2 [   0,   3] [   7,   9]\n"
              "  line[   2], #segments = 0\n");
}

}  // namespace
}  // namespace lv
