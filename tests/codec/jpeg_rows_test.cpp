// Row-streamed decoding gives exactly the picture decodeJpeg gives, at full
// and reduced sizes, and stops when the receiver says so.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/jpeg.h"
#include "image_compare.h"

namespace lv::codec {
namespace {

struct CollectRows final : JpegRowSink {
    int width = 0, height = 0, stopAfter = -1;
    bool grey = false;
    std::vector<std::vector<std::uint8_t>> rows;
    bool begin(int w, int h, bool g) override {
        width = w, height = h, grey = g;
        return true;
    }
    bool row(const std::uint8_t* pixels) override {
        rows.emplace_back(pixels, pixels + static_cast<std::size_t>(width) * (grey ? 1 : 3));
        return static_cast<int>(rows.size()) != stopAfter;
    }
};

class JpegRowsTest : public ::testing::TestWithParam<const char*> {
protected:
    void expectSameAsBitmap(int wantedWidth, int wantedHeight) {
        const auto bytes = test::readBytes(test::jpegDataPath(GetParam()));
        ASSERT_FALSE(bytes.empty());
        MemoryStream forBitmap(bytes), forRows(bytes);
        const BitmapPtr bitmap = decodeJpeg(forBitmap, wantedWidth, wantedHeight);
        ASSERT_TRUE(bitmap);
        CollectRows sink;
        ASSERT_TRUE(decodeJpegRows(forRows, wantedWidth, wantedHeight, sink));
        ASSERT_EQ(sink.width, bitmap->width);
        ASSERT_EQ(sink.height, bitmap->height);
        EXPECT_EQ(sink.grey, bitmap->depth == 8);
        ASSERT_EQ(sink.rows.size(), static_cast<std::size_t>(bitmap->height));
        for (int y = 0; y < bitmap->height; ++y)
            ASSERT_EQ(std::memcmp(sink.rows[y].data(), bitmap->rows[y], sink.rows[y].size()), 0) << "row " << y;
    }
};

TEST_P(JpegRowsTest, FullSizeRowsMatchTheBitmap) { expectSameAsBitmap(0, 0); }
TEST_P(JpegRowsTest, EighthSizeRowsMatchTheBitmap) { expectSameAsBitmap(4, 4); }

INSTANTIATE_TEST_SUITE_P(Files, JpegRowsTest,
                         ::testing::Values("s420.jpg", "grey.jpg", "prog420.jpg", "prog444_restart.jpg", "s411.jpg",
                                           "rgb.jpg", "s32.jpg"));

TEST(JpegRows, AReceiverThatRefusesStopsTheDecode) {
    const auto bytes = test::readBytes(test::jpegDataPath("s420.jpg"));
    MemoryStream stream(bytes);
    CollectRows sink;
    sink.stopAfter = 3;
    EXPECT_FALSE(decodeJpegRows(stream, 0, 0, sink));
    EXPECT_EQ(sink.rows.size(), 3u);
}

TEST(JpegRows, NotAJpegGivesNoRows) {
    const std::vector<std::uint8_t> text(100, 'x');
    MemoryStream stream(text);
    CollectRows sink;
    EXPECT_FALSE(decodeJpegRows(stream, 0, 0, sink));
    EXPECT_EQ(sink.height, 0);
}

}  // namespace
}  // namespace lv::codec
