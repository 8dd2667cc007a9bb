#include <gtest/gtest.h>

#include <vector>

#include "display/pixel_format.h"
#include "transition/formatted_rows.h"
#include "transition/surface.h"

namespace lv {
namespace {

class FormattedRowsTest : public ::testing::Test {
protected:
    static SurfacePtr filled(std::uint32_t seed) {
        SurfacePtr s = createSurface(37, 5);
        for (std::int32_t y = 0; y < s->height; ++y) {
            for (std::int32_t x = 0; x < s->width; ++x) s->row(y)[x] = (x * 2654435761u + y * 40503u + seed) & 0xFFFFFF;
        }
        return s;
    }
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

TEST_F(FormattedRowsTest, RowsAreTheStoredPixels) {
    const SurfacePtr s = filled(1);
    for (const PixelFormat* format : {&bgr24, &xbgr32}) {
        for (std::int32_t y : {3, 0, 4, 3}) EXPECT_EQ(kept(rows, *s, *format, y), stored(*s, *format, y)) << y;
    }
}

TEST_F(FormattedRowsTest, AnotherSurfaceStartsOver) {
    const SurfacePtr a = filled(1), b = filled(99);
    ASSERT_EQ(kept(rows, *a, bgr24, 2), stored(*a, bgr24, 2));
    EXPECT_EQ(kept(rows, *b, bgr24, 2), stored(*b, bgr24, 2));
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
