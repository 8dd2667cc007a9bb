// Decoding: the small files of tests/data/jpeg (made by cjpeg in every
// sampling, progressive, restart, grey and RGB form) against djpeg's
// decodes of the same files (-dct int -nosmooth, full and scaled), kept
// beside them; the start-of-image probe; refused and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "codec/jpeg_codec.h"
#include "codec/simd.h"
#include "codec/jpeg_tables.h"
#include "image_compare.h"
#include "render/pnm.h"
#include "shell/file_services.h"
#include "shell/memory_stream.h"
#include "shell/temp_folder.h"

namespace lv::test {
namespace {

std::string pnmError;  // why a PNM file did not load, for the failure message

namespace marker = codec::marker;

class SampleFile : public ::testing::TestWithParam<const char*> {
protected:
    std::string name() const { return GetParam(); }
    bool grey() const { return name().rfind("grey", 0) == 0; }
    BitmapPtr reference(const std::string& suffix) const {
        return loadPnm(jpegDataPath(name() + suffix + (grey() ? ".pgm" : ".ppm")), pnmError);
    }
    BitmapPtr decode(int wantedWidth = 0, int wantedHeight = 0) const {
        return decodeBytes(readBytes(jpegDataPath(name() + ".jpg")), wantedWidth, wantedHeight);
    }
    BitmapPtr decodeAtHalf() const {
        const std::vector<std::uint8_t> bytes = readBytes(jpegDataPath(name() + ".jpg"));
        codec::MemoryStream stream(bytes);
        return codec::decodeJpegScaled(stream, 2);
    }
};

// The full decode, each 2x2 square averaged (a lone last row or column alone).
BitmapPtr boxFilteredHalf(const Bitmap& full) {
    BitmapPtr half = createBitmap("half", (full.width + 1) / 2, (full.height + 1) / 2, full.depth);
    const int channels = full.depth / 8;
    for (int y = 0; y < half->height; ++y)
        for (int x = 0; x < half->width; ++x)
            for (int c = 0; c < channels; ++c) {
                int sum = 0, n = 0;
                for (int dy = 0; dy < 2 && 2 * y + dy < full.height; ++dy)
                    for (int dx = 0; dx < 2 && 2 * x + dx < full.width; ++dx, ++n)
                        sum += full.rows[2 * y + dy][(2 * x + dx) * channels + c];
                half->rows[y][x * channels + c] = static_cast<std::uint8_t>((sum + n / 2) / n);
            }
    return half;
}

TEST_P(SampleFile, FullSizeMatchesTheReferenceDecoder) {
    const BitmapPtr ours = decode(), theirs = reference("");
    ASSERT_TRUE(ours && theirs);
    EXPECT_EQ(ours->depth, grey() ? 8 : 24);
    EXPECT_EQ(ours->name, "jpeg");
    EXPECT_GE(psnr(*ours, *theirs), 45.0);
}

// 77x53 into 19x13 fits at a quarter (20 wide); into 9x6 at an eighth (10);
// a box just above a quarter, 20x14, decodes at full size.
TEST_P(SampleFile, ReducedSizesMatchTheReferenceDecoder) {
    for (const auto& [box, suffix, width] :
         {std::tuple{PictureSize{19, 13}, "_4", 20}, {PictureSize{9, 6}, "_8", 10}, {PictureSize{20, 14}, "", 77}}) {
        const BitmapPtr ours = decode(box.width, box.height), theirs = reference(suffix);
        ASSERT_TRUE(ours && theirs) << suffix;
        EXPECT_EQ(ours->width, width);
        EXPECT_GE(psnr(*ours, *theirs), 32.0) << suffix;
    }
}

// 77x53 at a half is 39x27; djpeg scales its inverse DCT, ours averages
// the full one. For 4:1:1, 4:4:0 and 3:2 chroma djpeg's own half decode
// lies only 27 to 32 dB from its full decode box-filtered, so there the
// bar is lower. Chroma sampled 3:1 across is upsampled after the averaging.
TEST_P(SampleFile, HalfSizeIsTheFullDecodeBoxFilteredAndMatchesTheReferenceDecoder) {
    const BitmapPtr ours = decodeAtHalf(), theirs = reference("_2"), full = decode();
    ASSERT_TRUE(ours && theirs && full);
    EXPECT_EQ(ours->width, 39);
    EXPECT_EQ(ours->height, 27);
    const bool oddChroma = name() == "s411" || name() == "s440" || name() == "s32";
    EXPECT_GE(psnr(*ours, *theirs), oddChroma ? 26.0 : 32.0);
    EXPECT_GE(psnr(*ours, *boxFilteredHalf(*full)), name() == "s32" ? 30.0 : 42.0);
}

INSTANTIATE_TEST_SUITE_P(Forms, SampleFile,
                         ::testing::Values("s444", "s420", "s422_restart", "s411", "s440", "s32", "prog420",
                                           "prog444_restart", "grey", "grey_prog", "rgb"));

class Decoding : public ::testing::Test {
protected:
    std::vector<std::uint8_t> file = readBytes(jpegDataPath("s444.jpg"));

    // Offset of the first byte after marker FF `code`.
    std::size_t after(int code) const {
        for (std::size_t i = 0; i + 1 < file.size(); ++i)
            if (file[i] == 0xFF && file[i + 1] == code) return i + 2;
        return 0;
    }
    BitmapPtr decodeWithPrefix(std::size_t junk) const {
        std::vector<std::uint8_t> bytes(junk, 0x5A);
        bytes.insert(bytes.end(), file.begin(), file.end());
        return decodeBytes(bytes);
    }
};

// The start-of-image probe finds the start behind 54 bytes of other data
// (and at the later places it looks), not behind 1 or 55.
TEST_F(Decoding, FindsTheStartOnlyWhereItLooks) {
    for (const std::size_t junk : {54, 128, 4294}) EXPECT_TRUE(decodeWithPrefix(junk)) << junk;
    for (const std::size_t junk : {1, 55}) EXPECT_FALSE(decodeWithPrefix(junk)) << junk;
}

TEST_F(Decoding, RefusesWhatIsNotJpeg) {
    EXPECT_FALSE(decodeBytes({}));
    EXPECT_FALSE(decodeBytes({0xFF, 0xD8, 0xFF}));
    EXPECT_FALSE(decodeBytes({0xFF, 0xD8, 0xFF, 0xD9}));
}

struct HeaderPatch {
    const char* fault;
    int marker, offset;  // where the bytes go: after the marker, plus offset
    std::vector<std::uint8_t> bytes;
};

TEST_F(Decoding, RefusesHostileHeaders) {
    const HeaderPatch patches[] = {
        {"arithmetic coding", marker::kSof0, -1, {0xC9}},
        {"twelve-bit samples", marker::kSof0, 2, {12}},
        {"a bad Huffman table number", marker::kDht, 2, {0x17}},
        {"a scan naming Huffman tables above 3", marker::kSos, 4, {0x77}},
        {"a marker length past the end", marker::kDqt, 0, {0xFF}},
        // 65535 x 65535: above the pixel budget, refused without allocating it.
        {"a huge allocation", marker::kSof0, 3, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const HeaderPatch& p : patches) {
        std::vector<std::uint8_t> patched = file;
        std::copy(p.bytes.begin(), p.bytes.end(), patched.begin() + static_cast<long>(after(p.marker)) + p.offset);
        EXPECT_FALSE(decodeBytes(patched)) << p.fault;
        // Every one of these lies before the first scan, so opening refuses
        // it: a later check (or a failed allocation) does not stand in.
        std::size_t position = 0;
        codec::DecoderSlot decoder;
        EXPECT_NE(codec::jpegDecoderOpen(decoder, chunkReader(patched, position)), codec::kJpegOk) << p.fault;
    }
}

TEST_F(Decoding, RefusesFourComponents) {
    // A frame header of four components, each a copy of the first.
    const std::size_t sof = after(marker::kSof0);
    std::vector<std::uint8_t> extra(file.begin() + sof + 8, file.begin() + sof + 11);
    extra[0] = 9;
    file.insert(file.begin() + sof + 17, extra.begin(), extra.end());
    file[sof + 1] += 3;
    file[sof + 7] = 4;
    EXPECT_FALSE(decodeBytes(file));
}

TEST_F(Decoding, KeepsTheDecodedRowsOfAFileThatEndsEarlyAndGreysTheRest) {
    const BitmapPtr whole = decodeBytes(file);
    file.resize(file.size() / 2);
    const BitmapPtr part = decodeBytes(file);
    ASSERT_TRUE(whole && part);
    EXPECT_TRUE(std::equal(whole->rows[0], whole->rows[0] + whole->stride, part->rows[0]));
    const std::uint8_t* last = part->rows[part->height - 1];
    EXPECT_TRUE(std::all_of(last, last + part->stride, [](std::uint8_t v) { return v == 128; }));
}

TEST_F(Decoding, ReportsTheCodecStatusThroughItsEntryPoints) {
    std::size_t position = 0;
    codec::DecoderSlot decoder;
    ASSERT_EQ(codec::jpegDecoderOpen(decoder, chunkReader(file, position)), codec::kJpegOk);
    codec::ImageInfo info;
    ASSERT_EQ(codec::jpegDecoderImageInfo(decoder.get(), info), codec::kJpegOk);
    EXPECT_EQ(info.sourceWidth, 77);
    EXPECT_EQ(info.components, 3);
    EXPECT_LE(info.rowsPerStrip, 16);
    codec::DecoderOptions options;
    options.scaleDenominator = 3;
    EXPECT_NE(codec::jpegDecoderSetOptions(decoder.get(), options), codec::kJpegOk);
    EXPECT_EQ(codec::jpegDecoderClose(decoder), codec::kJpegOk);
    EXPECT_NE(codec::jpegDecoderImageInfo(nullptr, info), codec::kJpegOk);
}

TEST(DecoderColourModes, PaddedPixelsCarryTheSameColours) {
    const auto file = readBytes(jpegDataPath("s420.jpg"));
    codec::ImageInfo packed, padded;
    codec::DecoderOptions options;
    options.colourMode = 3;
    const auto three = decodeRows(file, options, packed);
    options.colourMode = 0;
    const auto four = decodeRows(file, options, padded);
    ASSERT_EQ(packed.bytesPerPixel, 3);
    ASSERT_EQ(padded.bytesPerPixel, 4);
    ASSERT_EQ(three.size() / 3, four.size() / 4);
    for (std::size_t i = 0; i < three.size() / 3; ++i) {
        EXPECT_EQ(std::vector<std::uint8_t>(&three[3 * i], &three[3 * i] + 3),
                  std::vector<std::uint8_t>(&four[4 * i], &four[4 * i] + 3));
        EXPECT_EQ(four[4 * i + 3], 0);
    }
}

// The whole decode gives the same bytes with every kernel level.
TEST(DecoderKernelLevels, PlainAndVectorDecodesAreIdentical) {
    const auto file = readBytes(jpegDataPath("prog420.jpg"));
    codec::setSimdLevel(codec::SimdLevel::Plain);
    const BitmapPtr plain = decodeBytes(file);
    codec::setSimdLevel(codec::detectedSimdLevel());
    const BitmapPtr vector = decodeBytes(file);
    ASSERT_TRUE(plain && vector);
    EXPECT_EQ(psnr(*plain, *vector), 999);
}

// Through the file services' streams: a disk file opened as every reader
// opens its files, a memory stream (what packed files open as) with other
// data before the picture, and an encode into a memory stream.
TEST(FileServiceStreams, DecodeFromEachAndEncodeIntoMemory) {
    const std::vector<std::uint8_t> file = readBytes(jpegDataPath("s420.jpg"));
    const BitmapPtr expected = decodeBytes(file);
    ASSERT_TRUE(expected);
    TempFolder temp;
    const StreamPtr disk = openWithPackedFiles(temp.write("picture.jpg", std::string(file.begin(), file.end())),
                                               OpenMode::kRead);
    ASSERT_TRUE(disk);
    const BitmapPtr fromDisk = codec::decodeJpeg(*disk, 0, 0);
    ASSERT_TRUE(fromDisk);
    EXPECT_EQ(psnr(*fromDisk, *expected), 999);

    std::vector<std::uint8_t> bytes(128, 'x');
    bytes.insert(bytes.end(), file.begin(), file.end());
    MemoryStream behind(bytes);
    const BitmapPtr fromMemory = codec::decodeJpeg(behind, 0, 0);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(psnr(*fromMemory, *expected), 999);

    MemoryStream encoded;
    ASSERT_EQ(codec::encodeJpeg(encoded, *expected, 90), 0);
    const BitmapPtr decoded = decodeBytes(encoded.data());
    ASSERT_TRUE(decoded);
    EXPECT_GT(psnr(*decoded, *expected), 35);
}

}  // namespace
}  // namespace lv::test
