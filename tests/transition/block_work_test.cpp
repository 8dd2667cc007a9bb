#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "display/pixel_format.h"
#include "transition/block_work.h"
#include "transition/formatted_rows.h"
#include "transition_fixture.h"

namespace lv {
namespace {

// The work surface read back as engine pixels must be the incoming picture
// inside the held rectangles and the outgoing one elsewhere, whatever
// rectangles were held before (grown, shrunk or moved), kept whole or in
// two bands of columns (split at column 9).
class BlockWorkHolds : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    void SetUp() override {
        if (bits() == 24) format = PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF);
        work.reset(BlockWork::Pictures{a.get(), b.get(), &aRows, &bRows}, bits() == 24 ? &format : nullptr,
                   std::get<1>(GetParam()));
    }
    int bits() const { return std::get<0>(GetParam()); }
    void expectHolding(const std::vector<Rect>& held) {
        const PixelFormat kept = bits() == 24 ? format : PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF);
        for (std::int32_t y = 0; y < a->height; ++y) {
            for (std::int32_t x = 0; x < a->width; ++x) {
                std::uint32_t pixel = 0;
                loadPixels(kept, work.at(x, y), 1, &pixel);
                bool inside = false;
                for (const Rect& r : held) inside = inside || (x >= r.left && x < r.right() && y >= r.top && y < r.bottom());
                ASSERT_EQ(pixel, (inside ? *b : *a).row(y)[x]) << x << "," << y;
            }
        }
    }
    SurfacePtr a = test::fullPattern(23, 11, 1), b = test::fullPattern(23, 11, 2);
    FormattedRows aRows, bRows;
    PixelFormat format;
    BlockWork work;
};

TEST_P(BlockWorkHolds, GrowingShrinkingAndMovingRectangles) {
    const std::vector<std::vector<Rect>> steps = {
        {Rect{23, 0, 0, 5}, Rect{0, 5, 0, 6}},   // nothing yet, two halves
        {Rect{20, 0, 3, 5}, Rect{0, 5, 3, 6}},   // both grow from their edges
        {Rect{12, 0, 11, 5}, Rect{0, 5, 11, 6}},
        {Rect{15, 0, 8, 5}, Rect{0, 5, 11, 6}},  // one shrinks
        {Rect{2, 1, 5, 7}},                      // somewhere else
        {},
    };
    expectHolding({});
    for (const auto& held : steps) {
        work.hold(held);
        expectHolding(held);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BlockWorkHolds, ::testing::Combine(::testing::Values(24, 0), ::testing::Values(0, 9)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == 24 ? "Bgr24" : "EnginePixels") +
                                    (std::get<1>(info.param) == 0 ? "" : "TwoBands");
                         });

// The rows of a surface kept in an output's format.
class FormattedRowsTest : public ::testing::Test {
protected:
    static SurfacePtr filled(std::uint32_t seed) { return test::fullPattern(37, 5, seed); }
    static std::vector<std::uint8_t> stored(const Surface& s, const PixelFormat& format, std::int32_t y) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(s.width) * format.bytesPerPixel);
        storePixels(format, s.row(y), s.width, bytes.data());
        return bytes;
    }
    static std::vector<std::uint8_t> kept(FormattedRows& rows, const Surface& s, const PixelFormat& format, std::int32_t y) {
        const std::uint8_t* r = rows.row(s, format, y);
        if (r == nullptr) return {};
        return std::vector<std::uint8_t>(r, r + static_cast<std::size_t>(s.width) * format.bytesPerPixel);
    }
    FormattedRows rows;
    const PixelFormat bgr24 = PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF);
    const PixelFormat xbgr32 = PixelFormat::fromMasks(32, 0xFF, 0xFF00, 0xFF0000);
};

// The rows kept are the stored pixels, in either format, and another surface starts over.
TEST_F(FormattedRowsTest, RowsAreTheStoredPixelsOfTheSurfaceAsked) {
    const SurfacePtr s = filled(1), other = filled(99);
    for (const PixelFormat* format : {&bgr24, &xbgr32}) {
        for (std::int32_t y : {3, 0, 4, 3}) EXPECT_EQ(kept(rows, *s, *format, y), stored(*s, *format, y)) << y;
    }
    EXPECT_EQ(kept(rows, *other, xbgr32, 3), stored(*other, xbgr32, 3));
}

TEST_F(FormattedRowsTest, ABlockOfRowsIsTheStoredRowsOneRowApart) {
    const SurfacePtr s = filled(1);
    ASSERT_NE(rows.row(*s, bgr24, 2), nullptr);  // one row of the block already kept
    const std::uint8_t* block = rows.rows(*s, bgr24, 1, 3);
    ASSERT_NE(block, nullptr);
    for (std::int32_t i = 0; i < 3; ++i) {
        const std::uint8_t* r = block + rows.rowBytes() * static_cast<std::size_t>(i);
        EXPECT_EQ(std::vector<std::uint8_t>(r, r + rows.rowBytes()), stored(*s, bgr24, 1 + i)) << i;
    }
}

TEST_F(FormattedRowsTest, SixteenBitFormatsAndRowsOrBlocksReachingOutsideAreNotKept) {
    const SurfacePtr s = filled(1);
    EXPECT_EQ(rows.row(*s, PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F), 0), nullptr);
    EXPECT_EQ(rows.row(*s, bgr24, -1), nullptr);
    EXPECT_EQ(rows.row(*s, bgr24, 5), nullptr);
    EXPECT_EQ(rows.rows(*s, bgr24, -1, 2), nullptr);
    EXPECT_EQ(rows.rows(*s, bgr24, 3, 3), nullptr);
    EXPECT_EQ(rows.rows(*s, bgr24, 0, -1), nullptr);
    EXPECT_NE(rows.rows(*s, bgr24, 0, 5), nullptr);
}

}  // namespace
}  // namespace lv
