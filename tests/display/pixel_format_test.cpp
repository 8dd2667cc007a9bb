#include <gtest/gtest.h>

#include <vector>

#include "display/pixel_format.h"

namespace lv {
namespace {

TEST(PixelFormatCode, KnownLayouts) {
    EXPECT_EQ(pixelFormatCode(24, 0xFF0000, 0xFF00, 0xFF), 0);
    EXPECT_EQ(pixelFormatCode(24, 0xFF, 0xFF00, 0xFF0000), 1);
    EXPECT_EQ(pixelFormatCode(32, 0xFF0000, 0xFF00, 0xFF), 2);
    EXPECT_EQ(pixelFormatCode(32, 0xFF, 0xFF00, 0xFF0000), 3);
    EXPECT_EQ(pixelFormatCode(32, 0xFF000000, 0xFF0000, 0xFF00), 4);  // the two upper-byte layouts
    EXPECT_EQ(pixelFormatCode(32, 0xFF00, 0xFF0000, 0xFF000000), 5);  // have codes of their own
    EXPECT_EQ(pixelFormatCode(16, 0xF800, 0x7E0, 0x1F), 6);
    EXPECT_EQ(pixelFormatCode(8, 0, 0, 0), 9);
    EXPECT_EQ(pixelFormatCode(32, 0xFF00, 0xFF, 0xFF0000), 9);
}

TEST(PixelFormatChannels, BitsAndShiftsFromMasks) {
    const PixelFormat format = PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F);
    EXPECT_EQ(format.red.count, 5);
    EXPECT_EQ(format.red.shift, 11);
    EXPECT_EQ(format.green.count, 6);
    EXPECT_EQ(format.green.shift, 5);
    EXPECT_EQ(format.blue.count, 5);
    EXPECT_EQ(format.blue.shift, 0);
    EXPECT_EQ(format.bytesPerPixel, 2);
}

class PixelStore : public ::testing::Test {
protected:
    std::vector<std::uint8_t> store(const PixelFormat& format, std::uint32_t pixel) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(format.bytesPerPixel));
        storePixels(format, &pixel, 1, out.data());
        return out;
    }
    using Bytes = std::vector<std::uint8_t>;
};

TEST_F(PixelStore, EveryLayoutPutsEachChannelInItsPlace) {
    const std::uint32_t pixel = 0x00112233;  // red 11, green 22, blue 33
    EXPECT_EQ(store(PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF), pixel), (Bytes{0x33, 0x22, 0x11}));
    EXPECT_EQ(store(PixelFormat::fromMasks(24, 0xFF, 0xFF00, 0xFF0000), pixel), (Bytes{0x11, 0x22, 0x33}));
    EXPECT_EQ(store(PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF), pixel), (Bytes{0x33, 0x22, 0x11, 0}));
    EXPECT_EQ(store(PixelFormat::fromMasks(32, 0xFF, 0xFF00, 0xFF0000), pixel), (Bytes{0x11, 0x22, 0x33, 0}));
    EXPECT_EQ(store(PixelFormat::fromMasks(32, 0xFF000000, 0xFF0000, 0xFF00), pixel), (Bytes{0, 0x33, 0x22, 0x11}));
    EXPECT_EQ(store(PixelFormat::fromMasks(32, 0xFF00, 0xFF0000, 0xFF000000), pixel), (Bytes{0, 0x11, 0x22, 0x33}));
}

TEST_F(PixelStore, SixteenBitsThroughTheChannelTables) {
    // 5-6-5: red 0xFF -> 31 << 11, green 0x80 -> 32 << 5, blue 0x08 -> 1.
    EXPECT_EQ(store(PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F), 0x00FF8008), (Bytes{0x01, 0xFC}));
}

TEST_F(PixelStore, LoadGivesEightBitChannelsBack) {
    for (const PixelFormat& format : {PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF), PixelFormat::fromMasks(32, 0xFF, 0xFF00, 0xFF0000),
                                      PixelFormat::fromMasks(32, 0xFF00, 0xFF0000, 0xFF000000)}) {
        const std::uint32_t pixel = 0x00A1B2C3;
        std::uint32_t back = 0;
        loadPixels(format, store(format, pixel).data(), 1, &back);
        EXPECT_EQ(back, pixel) << format.code;
    }
    std::uint32_t white = 0;
    loadPixels(PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F), store(PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F), 0xFFFFFF).data(), 1, &white);
    EXPECT_EQ(white, 0xFFFFFFu);
}

TEST_F(PixelStore, RowsStoreLikeSinglePixels) {
    // Rows go four pixels at a time where they can; every length must give
    // the bytes of pixel-by-pixel stores, and the fourth byte never leaks.
    for (const PixelFormat& format : {PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF), PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F)}) {
        for (int count = 0; count < 11; ++count) {
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
