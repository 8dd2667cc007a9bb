#include "browse/picture_transfer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lv {
namespace {

std::uint32_t at32(const std::vector<std::uint8_t>& b, std::size_t i) {
    return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | static_cast<std::uint32_t>(b[i + 3]) << 24;
}

TEST(ClipboardDib, HeaderFields) {
    BitmapPtr p = createBitmap("p", 101, 3, 24);
    const auto dib = packedDib(*p);
    ASSERT_EQ(dib.size(), 40u + 304 * 3 + 4);
    EXPECT_EQ(at32(dib, 0), 40u);
    EXPECT_EQ(at32(dib, 4), 101u);
    EXPECT_EQ(at32(dib, 8), 3u);  // positive: bottom-up
    EXPECT_EQ(dib[12] | dib[13] << 8, 1);
    EXPECT_EQ(dib[14] | dib[15] << 8, 24);
    EXPECT_EQ(at32(dib, 16), 0u);
    EXPECT_EQ(at32(dib, 24), 2592u);
    EXPECT_EQ(at32(dib, 28), 2592u);
}

TEST(ClipboardDib, LastRowFirstAndPaddedWithZeros) {
    BitmapPtr p = createBitmap("p", 2, 2, 24);
    std::memset(p->rows[0], 0x11, 6);
    std::memset(p->rows[1], 0x22, 6);
    const auto dib = packedDib(*p);
    EXPECT_EQ(dib[40], 0x22);
    EXPECT_EQ(dib[46], 0);  // padding of the first stored row
    EXPECT_EQ(dib[48], 0x11);
}

TEST(ClipboardDib, EightBitCarriesItsPaletteAsBlueGreenRed) {
    BitmapPtr p = createBitmap("p", 101, 1, 8);
    p->palette[1] = {10, 20, 30, 0};
    p->rows[0][0] = 1;
    const auto dib = packedDib(*p);
    ASSERT_EQ(dib.size(), 40u + 1024 + 104 + 4);
    EXPECT_EQ(dib[44], 30);
    EXPECT_EQ(dib[45], 20);
    EXPECT_EQ(dib[46], 10);
    EXPECT_EQ(dib[40 + 1024], 1);
}

TEST(DropBlock, HeaderPathAndZeros) {
    const auto block = dropFilesBlock("C:\\a.jpg", 3, 4);
    EXPECT_EQ(at32(block, 0), 20u);
    EXPECT_EQ(at32(block, 4), 3u);
    EXPECT_EQ(at32(block, 8), 4u);
    EXPECT_EQ(at32(block, 16), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 20)), "C:\\a.jpg");
    EXPECT_EQ(block.size() % 4, 0u);
    EXPECT_GE(block.size(), 20u + 8 + 3);
    EXPECT_EQ(block[20 + 8 + 1], 0);
    EXPECT_EQ(block[20 + 8 + 2], 0);
}

}  // namespace
}  // namespace lv
