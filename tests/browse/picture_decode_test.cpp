#include "browse/picture_decode.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "browse/jpeg_facts.h"
#include "browse/picture_save.h"
#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "shell/temp_folder.h"

namespace lv {
namespace {

// A picture whose top-left quarter is white and the rest black.
BitmapPtr marked(int w, int h) {
    BitmapPtr p = createBitmap("m", w, h, 24);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2 * 3; ++x) p->rows[y][x] = 255;
    return p;
}

std::vector<std::uint8_t> encoded(const Bitmap& b) {
    codec::MemoryStream out;
    EXPECT_EQ(codec::encodeJpeg(out, b, 90), 0);
    return out.bytes();
}

// The file with an Exif block carrying the orientation inserted after SOI.
std::vector<std::uint8_t> withOrientation(std::vector<std::uint8_t> jpeg, int orientation, bool bigEndian) {
    std::vector<std::uint8_t> tiff = bigEndian ? std::vector<std::uint8_t>{'M', 'M', 0, 42, 0, 0, 0, 8}
                                               : std::vector<std::uint8_t>{'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) tiff.push_back(static_cast<std::uint8_t>(v >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    put(1, 2);                      // one entry
    put(0x0112, 2), put(3, 2);      // orientation, SHORT
    put(1, 4);                      // count 1
    put(orientation, 2), put(0, 2); // value in the first two bytes
    put(0, 4);                      // no next directory
    std::vector<std::uint8_t> app1{0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    const std::size_t length = app1.size() - 2;
    app1[2] = static_cast<std::uint8_t>(length >> 8);
    app1[3] = static_cast<std::uint8_t>(length);
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

TEST(JpegFacts, FrameSizeAndOrientation) {
    const auto plain = encoded(*marked(64, 32));
    EXPECT_EQ(readJpegFacts(plain).frame, (PictureSize{64, 32}));
    EXPECT_EQ(readJpegFacts(plain).orientation, 1);
    EXPECT_EQ(jpegOrientation(withOrientation(plain, 6, false)), 6);
    EXPECT_EQ(jpegOrientation(withOrientation(plain, 8, true)), 8);
}

TEST(JpegFacts, CutOrHostileBlocksReadAsUpright) {
    auto tagged = withOrientation(encoded(*marked(16, 16)), 6, false);
    for (std::size_t cut = 0; cut < 38; ++cut)  // the Exif block ends at 38
        EXPECT_EQ(jpegOrientation(std::span(tagged.data(), cut)), 1) << cut;
    tagged[2 + 4 + 6 + 4] = 0xFF;  // directory offset far outside
    EXPECT_EQ(jpegOrientation(tagged), 1);
}

TEST(Upright, EveryOrientationPutsTheMarkTopLeft) {
    // Store the picture as each orientation would, then turn it back.
    const BitmapPtr upright = marked(8, 4);
    const int store[9] = {0, 0, 2, 3, 4, 5, 8, 7, 6};  // the stored form of each is its own inverse, but 6 <-> 8
    for (int o = 2; o <= 8; ++o) {
        const BitmapPtr stored = turnUpright(*upright, store[o]);
        ASSERT_TRUE(stored);
        const BitmapPtr back = turnUpright(*stored, o);
        ASSERT_TRUE(back) << o;
        EXPECT_EQ(back->width, 8) << o;
        EXPECT_EQ(back->rows[0][0], 255) << o;
        EXPECT_EQ(back->rows[3][21], 0) << o;
    }
    EXPECT_FALSE(turnUpright(*upright, 1));
}

TEST(TileDecode, ExactFitFromAReducedDecodeAndNothingFromBrokenData) {
    const auto file = encoded(*marked(800, 600));
    const BitmapPtr tile = decodeTilePicture(file, {100, 100});
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->width, 100);
    EXPECT_EQ(tile->height, 75);
    EXPECT_GT(tile->rows[5][5 * 3], 200);
    EXPECT_LT(tile->rows[70][95 * 3], 50);
    EXPECT_FALSE(decodeTilePicture(std::vector<std::uint8_t>(100, 0x42), {100, 100}));  // broken data
    EXPECT_FALSE(decodeTilePicture(file, {0, 100}));                                      // no room
}

TEST(TileDecode, PicturesOnTheirSideAreTurnedUpright) {
    // Stored turned anticlockwise (orientation 6): 600 x 800 on disk.
    const BitmapPtr stored = turnUpright(*marked(800, 600), 8);
    const auto file = withOrientation(encoded(*stored), 6, false);
    const BitmapPtr tile = decodeTilePicture(file, {100, 100});
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->width, 100);
    EXPECT_EQ(tile->height, 75);
    EXPECT_GT(tile->rows[5][5 * 3], 200);
    const BitmapPtr full = decodeFullPicture(file);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->width, 800);
}

// Shown at half its size or less, the viewer's picture comes from a 1/2
// decode, upright; otherwise whole. The sizes are the upright picture's.
TEST(ViewerDecode, HalfWhenDrawnAtHalfOrLessElseWhole) {
    const BitmapPtr stored = turnUpright(*marked(200, 150), 8);  // 150 x 200 on disk
    const auto file = withOrientation(encoded(*stored), 6, false);
    ViewerDecode d = decodeViewerPicture(file, {100, 75});  // zoom 0.5
    ASSERT_TRUE(d.picture);
    EXPECT_EQ(d.reduction, 2);
    EXPECT_EQ(d.fullSize, (PictureSize{200, 150}));
    EXPECT_EQ(d.picture->width, 100);
    EXPECT_EQ(d.picture->height, 75);
    EXPECT_GT(d.picture->rows[5][5 * 3], 200);    // the mark stays top left
    EXPECT_LT(d.picture->rows[70][95 * 3], 50);
    d = decodeViewerPicture(file, {101, 76});  // zoom above 0.5
    ASSERT_TRUE(d.picture);
    EXPECT_EQ(d.reduction, 1);
    EXPECT_EQ(d.picture->width, 200);
    EXPECT_FALSE(decodeViewerPicture(std::vector<std::uint8_t>(100, 0x42), {100, 75}).picture);
}

TEST(JpegSave, WritesAFileThatDecodes) {
    test::TempFolder folder;
    const std::string path = folder.file("out.jpg");
    ASSERT_TRUE(savePictureAsJpeg(*marked(64, 48), path, 90));
    const std::string bytes = folder.read("out.jpg");
    const BitmapPtr back = decodeFullPicture(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 64);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.folder())) ++files;
    EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST(JpegSave, AFailedEncodeLeavesTheOldFileAndAMissingFolderFails) {
    test::TempFolder folder;
    const std::string path = folder.write("old.jpg", "precious");
    BitmapPtr unencodable = createBitmap("x", 0, 0, 24);  // no rows: the encoder refuses it
    ASSERT_TRUE(unencodable);
    EXPECT_FALSE(savePictureAsJpeg(*unencodable, path, 75));
    EXPECT_EQ(folder.read("old.jpg"), "precious");
    EXPECT_FALSE(savePictureAsJpeg(*marked(8, 8), folder.file("no/such/x.jpg"), 75));
}

TEST(JpegSave, DialogNamesUseBackslashes) { EXPECT_EQ(dialogFileName("C:/a/b.jpg"), "C:\\a\\b.jpg"); }

}  // namespace
}  // namespace lv
