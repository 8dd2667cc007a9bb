// Encoding: round trips through our decoder on a small photograph, quality
// limits, odd sizes, and how the stream is closed.
#include <gtest/gtest.h>

#include "codec/huffman_encode.h"
#include "codec/jpeg_codec.h"
#include "codec/jpeg_tables.h"
#include "image_compare.h"
#include "render/pnm.h"

namespace lv::test {
namespace {

std::string pnmError;  // why a PNM file did not load, for the failure message

// A stream that records close() and can refuse to write.
class RecordingStream final : public codec::ByteStream {
public:
    bool writable = true;
    int closes = 0;
    codec::MemoryStream memory;
    long seek(long offset, int origin) override { return memory.seek(offset, origin); }
    int read(std::uint8_t* buffer, int count) override { return memory.read(buffer, count); }
    int write(const std::uint8_t* buffer, int count) override { return writable ? memory.write(buffer, count) : -1; }
    bool close() override { return ++closes, true; }
};

class Encoding : public ::testing::Test {
protected:
    BitmapPtr photo = loadPnm(jpegDataPath("s444.ppm"), pnmError);
    BitmapPtr greyPhoto = loadPnm(jpegDataPath("grey.pgm"), pnmError);

    // An encoder through the codec's entry points, writing into `out`.
    codec::MemoryStream out;
    codec::EncoderSlot encoder;
    int open(codec::EncoderImage image) {
        return codec::jpegEncoderOpen(encoder, [this](const std::uint8_t* b, int n) { return out.write(b, n); }, image);
    }

    double roundTrip(const Bitmap& source, int quality) {
        const BitmapPtr decoded = decodeBytes(encodeToBytes(source, quality));
        return decoded ? psnr(source, *decoded) : -1;
    }
};

// Colour and grey (which stays grey) come back close; a higher quality is
// closer and larger, and a quality above 99 writes 99.
TEST_F(Encoding, RoundTripsKeepThePictureAtEachQuality) {
    ASSERT_TRUE(photo && greyPhoto);
    EXPECT_GE(roundTrip(*photo, 90), 34.0);
    EXPECT_GE(roundTrip(*photo, 99), 40.0);
    EXPECT_GE(roundTrip(*greyPhoto, 90), 36.0);
    EXPECT_EQ(decodeBytes(encodeToBytes(*greyPhoto, 90))->depth, 8);
    EXPECT_GT(roundTrip(*photo, 90), roundTrip(*photo, 30));
    EXPECT_GT(encodeToBytes(*photo, 90).size(), encodeToBytes(*photo, 30).size());
    EXPECT_GT(roundTrip(*photo, 0), 15.0);
    EXPECT_EQ(encodeToBytes(*photo, 150), encodeToBytes(*photo, 99));
}

TEST_F(Encoding, OddSizesRoundTrip) {
    for (const auto& [w, h] : {std::pair{1, 1}, {9, 17}, {17, 9}, {8, 8}}) {
        BitmapPtr small = createBitmap("odd", w, h, 24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 3 * w; ++x) small->rows[y][x] = static_cast<std::uint8_t>(40 + 5 * x + 7 * y);
        const BitmapPtr decoded = decodeBytes(encodeToBytes(*small, 95));
        ASSERT_TRUE(decoded) << w << "x" << h;
        EXPECT_GE(psnr(*small, *decoded), 30.0) << w << "x" << h;
    }
}

TEST_F(Encoding, ColourPaletteOfAnEightBitBitmapIsWrittenAsItsGreyLevel) {
    BitmapPtr indexed = createBitmap("indexed", 16, 16, 8);
    for (int i = 0; i < 256; ++i) indexed->palette[i] = PaletteEntry{255, 255, 255, 0};
    const BitmapPtr decoded = decodeBytes(encodeToBytes(*indexed, 90));
    ASSERT_TRUE(decoded);
    EXPECT_GE(decoded->rows[8][8], 250);
}

// A failed write or an empty Bitmap does not report success nor close.
TEST_F(Encoding, ClosesTheStreamOnSuccessOnly) {
    RecordingStream good;
    EXPECT_EQ(codec::encodeJpeg(good, *photo, 75), 0);
    EXPECT_EQ(good.closes, 1);
    RecordingStream bad;
    bad.writable = false;
    EXPECT_EQ(codec::encodeJpeg(bad, *photo, 75), -1);
    EXPECT_EQ(bad.closes, 0);
    RecordingStream empty;
    EXPECT_EQ(codec::encodeJpeg(empty, *createBitmap("empty", 0, 5, 24), 75), -1);
    EXPECT_EQ(empty.closes, 0);
}

TEST_F(Encoding, RestartIntervalsDecode) {
    ASSERT_EQ(open(codec::EncoderImage{photo->width, photo->height, 1}), codec::kJpegOk);
    codec::EncoderParameters parameters;
    parameters.quality = 90;
    parameters.restartRows = 1;
    ASSERT_EQ(codec::jpegEncoderSetParameters(encoder.get(), parameters), codec::kJpegOk);
    for (int y = 0; y < photo->height; ++y) {
        const std::uint8_t* row = photo->rows[y];
        ASSERT_EQ(codec::jpegEncoderWriteRows(encoder.get(), &row, 1), codec::kJpegOk);
    }
    ASSERT_EQ(codec::jpegEncoderClose(encoder), codec::kJpegOk);
    const BitmapPtr decoded = decodeBytes(out.bytes());
    ASSERT_TRUE(decoded);
    EXPECT_GE(psnr(*photo, *decoded), 34.0);
}

TEST_F(Encoding, ClosingBeforeEveryRowArrivedFails) {
    ASSERT_EQ(open(codec::EncoderImage{8, 8, 0}), codec::kJpegOk);
    EXPECT_NE(codec::jpegEncoderClose(encoder), codec::kJpegOk);
}

// The AC tables of K.3 must give every run/size symbol a code exactly once.
TEST(StandardHuffmanTables, CodeEveryAcSymbolOnce) {
    for (const codec::HuffmanDefinition* definition : {&codec::standardAcLuminance(), &codec::standardAcChrominance()}) {
        int total = 0;
        for (int n : definition->counts) total += n;
        ASSERT_EQ(total, definition->valueCount);
        const codec::HuffmanEncoder table(*definition);
        EXPECT_NE(table.length[0x00], 0);
        EXPECT_NE(table.length[0xF0], 0);
        for (int run = 0; run < 16; ++run)
            for (int size = 1; size <= 10; ++size) EXPECT_NE(table.length[run << 4 | size], 0) << run << "/" << size;
        std::vector<int> seen(256, 0);
        for (int i = 0; i < definition->valueCount; ++i) EXPECT_EQ(++seen[definition->values[i]], 1);
    }
}

}  // namespace
}  // namespace lv::test
