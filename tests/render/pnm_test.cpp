#include "render/pnm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/temp_folder.h"

namespace lv {
namespace {

using namespace std::string_literals;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

class PnmTest : public ::testing::Test {
protected:
    BitmapPtr decode(const std::string& text) { return decodePnm(bytesOf(text), "t", error); }
    std::string error;
};

TEST_F(PnmTest, ReadsPpmIntoBlueGreenRed) {
    BitmapPtr b = decode(std::string("P6\n# comment\n2 1\n255\n") + "\x01\x02\x03\x04\x05\x06");
    ASSERT_TRUE(b) << error;
    EXPECT_EQ(b->depth, 24);
    EXPECT_EQ(std::memcmp(b->rows[0], "\x03\x02\x01\x06\x05\x04", 6), 0);
}

TEST_F(PnmTest, ReadsPgmAndScalesSmallAndWideSamples) {
    BitmapPtr b = decode("P5 3 1 15 \x00\x0f\x07"s);
    ASSERT_TRUE(b) << error;
    EXPECT_EQ(b->depth, 8);
    EXPECT_EQ(b->rows[0][1], 255);
    EXPECT_EQ(b->rows[0][2], 119);
    BitmapPtr wide = decode(std::string("P5 1 1 65535\n") + "\xff\xff");
    ASSERT_TRUE(wide) << error;
    EXPECT_EQ(wide->rows[0][0], 255);
}

TEST_F(PnmTest, RefusesShortAndMalformedFiles) {
    EXPECT_FALSE(decode("P6\n2 2\n255\n\x01\x02"));
    EXPECT_FALSE(decode("P3\n1 1\n255\n1 2 3"));
    EXPECT_FALSE(decode("P5\n0 1\n255\n"));
    EXPECT_FALSE(decode("P5\n70000 1\n255\n"));
    EXPECT_FALSE(decode("P5\n1 1\n255"));
    EXPECT_FALSE(decode("P5 99999999999 1 255 "));
}

TEST_F(PnmTest, EncodeDecodeRoundTrip) {
    BitmapPtr colour = decode(std::string("P6 2 2 255\n") + "abcdefghijkl");
    ASSERT_TRUE(colour);
    BitmapPtr again = decodePnm(encodePnm(*colour), "t", error);
    ASSERT_TRUE(again);
    EXPECT_EQ(std::memcmp(again->pixels(), colour->pixels(), 12), 0);

    BitmapPtr paletted = createBitmap("p", 1, 1, 8);
    paletted->palette[0] = PaletteEntry{10, 20, 30, 0};
    paletted->rows[0][0] = 0;
    const auto encoded = encodePnm(*paletted);
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), std::string("P6\n1 1\n255\n\x0a\x14\x1e"));
}

// Files are read row by row from the stream; they must read as the same
// bytes decoded in memory do, whatever the sample width.
class PnmFileTest : public PnmTest {
protected:
    test::TempFolder temp;
    BitmapPtr load(const std::string& text) { return loadPnm(temp.write("p.pnm", text), error); }
};

TEST_F(PnmFileTest, FilesReadLikeTheSameBytesInMemory) {
    std::string raster;
    for (int i = 0; i < 3 * 40 * 30 * 2; ++i) raster += static_cast<char>(i * 7);
    for (const std::string& header : {"P6\n40 30\n255\n"s, "P6 40 30 65535\n"s, "P5\n# note\n40 60 255\n"s}) {
        BitmapPtr fromFile = load(header + raster);
        BitmapPtr inMemory = decode(header + raster);
        ASSERT_TRUE(fromFile && inMemory) << header << error;
        EXPECT_EQ(fromFile->pixelBytes(), inMemory->pixelBytes());
        EXPECT_EQ(std::memcmp(fromFile->pixels(), inMemory->pixels(), inMemory->pixelBytes()), 0) << header;
    }
}

TEST_F(PnmFileTest, ShortFilesAndFoldersAreRefusedWithAReason) {
    EXPECT_FALSE(load("P6\n40 30\n255\n" + std::string(3 * 40 * 30 - 1, 'x')));
    EXPECT_NE(error.find("short"), std::string::npos);
    EXPECT_FALSE(loadPnm(temp.folder(), error));
    EXPECT_NE(error.find("folder"), std::string::npos);
    EXPECT_FALSE(loadPnm(temp.file("missing.ppm"), error));
}

TEST_F(PnmFileTest, SavedPicturesStreamTheSameBytesAsEncodePnm) {
    BitmapPtr colour = decode(std::string("P6 3 2 255\n") + "abcdefghijklmnopqr");
    ASSERT_TRUE(colour);
    ASSERT_TRUE(savePnm(*colour, temp.file("s.ppm"), error)) << error;
    const auto encoded = encodePnm(*colour);
    EXPECT_EQ(temp.read("s.ppm"), std::string(encoded.begin(), encoded.end()));
}

}  // namespace
}  // namespace lv
