#include <gtest/gtest.h>

#include <vector>

#include "display/pixel_format.h"

namespace lv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes store(const PixelFormat& format, std::uint32_t pixel) {
    Bytes out(static_cast<std::size_t>(format.bytesPerPixel));
    storePixels(format, &pixel, 1, out.data());
    return out;
}

const PixelFormat k565 = PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F);

struct Layout {
    int bits;
    std::uint32_t red, green, blue;
    int code;
    Bytes stored;  // of red 11, green 22, blue 33
};

// Each layout's code, where it puts each channel, and the load back. The two
// upper-byte 32-bit layouts have codes of their own.
TEST(PixelFormat, EveryLayoutPutsEachChannelInItsPlaceAndLoadsBack) {
    const Layout layouts[] = {
        {24, 0xFF0000, 0xFF00, 0xFF, 0, {0x33, 0x22, 0x11}},
        {24, 0xFF, 0xFF00, 0xFF0000, 1, {0x11, 0x22, 0x33}},
        {32, 0xFF0000, 0xFF00, 0xFF, 2, {0x33, 0x22, 0x11, 0}},
        {32, 0xFF, 0xFF00, 0xFF0000, 3, {0x11, 0x22, 0x33, 0}},
        {32, 0xFF000000, 0xFF0000, 0xFF00, 4, {0, 0x33, 0x22, 0x11}},
        {32, 0xFF00, 0xFF0000, 0xFF000000, 5, {0, 0x11, 0x22, 0x33}},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(testing::Message() << "code " << l.code);
        EXPECT_EQ(pixelFormatCode(l.bits, l.red, l.green, l.blue), l.code);
        const PixelFormat format = PixelFormat::fromMasks(l.bits, l.red, l.green, l.blue);
        EXPECT_EQ(store(format, 0x00112233), l.stored);
        std::uint32_t back = 0;
        loadPixels(format, store(format, 0x00A1B2C3).data(), 1, &back);
        EXPECT_EQ(back, 0x00A1B2C3u);
    }
    EXPECT_EQ(pixelFormatCode(16, 0xF800, 0x7E0, 0x1F), 6);
    EXPECT_EQ(pixelFormatCode(8, 0, 0, 0), 9);
    EXPECT_EQ(pixelFormatCode(32, 0xFF00, 0xFF, 0xFF0000), 9);
}

// 5-6-5 through the channel tables: red 0xFF -> 31 << 11, green 0x80 -> 32 << 5,
// blue 0x08 -> 1; white loads back as white.
TEST(PixelFormat, SixteenBitsThroughTheChannelTables) {
    EXPECT_EQ(store(k565, 0x00FF8008), (Bytes{0x01, 0xFC}));
    std::uint32_t white = 0;
    loadPixels(k565, store(k565, 0xFFFFFF).data(), 1, &white);
    EXPECT_EQ(white, 0xFFFFFFu);
}

// Rows go several pixels at a time where they can; every length must give the
// bytes of pixel-by-pixel stores, and the fourth byte never leaks.
TEST(PixelFormat, RowsStoreLikeSinglePixels) {
    for (const PixelFormat& format : {PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF), k565}) {
        for (int count = 0; count < 40; ++count) {
            std::vector<std::uint32_t> row(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) row[i] = 0xAB000000u | static_cast<std::uint32_t>(0x10305 * (i + 1));
            Bytes whole(static_cast<std::size_t>(count) * format.bytesPerPixel + 1, 0xEE), single;
            storePixels(format, row.data(), count, whole.data());
            for (int i = 0; i < count; ++i) {
                const Bytes one = store(format, row[i]);
                single.insert(single.end(), one.begin(), one.end());
            }
            single.push_back(0xEE);
            EXPECT_EQ(whole, single) << format.code << " count " << count;
        }
    }
}

}  // namespace
}  // namespace lv
