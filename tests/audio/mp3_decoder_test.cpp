#include "audio/mp3_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "audio/mpeg_audio_header.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

using test::memorySource;
using test::readAudioData;

std::vector<uint8_t> decodeAll(Decoder& decoder, size_t* reads = nullptr) {
    std::vector<uint8_t> pcm, chunk(decoder.largestChunk());
    size_t count = 0;
    while (!decoder.atEnd()) {
        const size_t n = decoder.read(chunk);
        count += n > 0;
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
    }
    if (reads) *reads = count;
    return pcm;
}

// Applies `patch` to every frame header of a Layer III file (walking frame
// by frame from the first sync).
template <typename Patch>
std::vector<uint8_t> patchHeaders(std::vector<uint8_t> bytes, Patch patch) {
    size_t i = 0;
    while (i + 4 <= bytes.size()) {
        const auto header = parseMpegAudioHeader(&bytes[i]);
        if (!header || !isLayer3Header(&bytes[i])) {
            ++i;
            continue;
        }
        const size_t length = static_cast<size_t>(header->frameLength());
        patch(&bytes[i]);
        i += length;
    }
    return bytes;
}

class Layer3DecoderTest : public ::testing::Test {
protected:
    std::unique_ptr<Layer3Decoder> open(const std::string& file) { return openBytes(readAudioData(file)); }
    std::unique_ptr<Layer3Decoder> openBytes(std::vector<uint8_t> bytes) {
        return std::make_unique<Layer3Decoder>(memorySource(std::move(bytes)));
    }
};

TEST(MpegAudioHeader, FrameArithmeticOf128kAt44100) {
    const uint8_t bytes[4] = {0xFF, 0xFB, 0x90, 0x64};
    const auto h = parseMpegAudioHeader(bytes);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->frameLengthWithoutPadding(), 417);
    EXPECT_EQ(h->mainDataLength(), 381);
    const uint8_t withCrc[4] = {0xFF, 0xFA, 0x90, 0x64};
    EXPECT_EQ(parseMpegAudioHeader(withCrc)->mainDataLength(), 379);
    const uint8_t padded[4] = {0xFF, 0xFB, 0x92, 0x64};
    EXPECT_EQ(parseMpegAudioHeader(padded)->frameLength(), 418);
}

TEST(MpegAudioHeader, AcceptsOnlyLayer3OfMpeg1AndMpeg2) {
    const uint8_t accepted[][4] = {{0xFF, 0xFA, 0x90, 0}, {0xFF, 0xFB, 0x90, 0}, {0xFF, 0xF2, 0x90, 0}, {0xFF, 0xF3, 0x90, 0}};
    for (const auto& b : accepted) EXPECT_TRUE(isLayer3Header(b));
    const uint8_t refused[][4] = {
        {0xFF, 0xE3, 0x90, 0},  // MPEG-2.5
        {0xFF, 0xFD, 0x90, 0},  // Layer II
        {0xFF, 0xFB, 0x00, 0},  // free format
        {0xFF, 0xFB, 0xF0, 0},  // bitrate index 15
        {0xFF, 0xFB, 0x9C, 0},  // sampling frequency index 3
    };
    for (const auto& b : refused) EXPECT_FALSE(isLayer3Header(b));
}

TEST_F(Layer3DecoderTest, ReadsWholeFramesInTheFilesFormat) {
    struct Case {
        const char* file;
        uint32_t rate, channels, frameBytes;
    };
    for (const Case& c : {Case{"joint_128k_44k.mp3", 44100, 2, 4608}, Case{"mono_32k_22k.mp3", 22050, 1, 1152}}) {
        auto d = open(c.file);
        const DecoderFormat f = d->format();
        ASSERT_TRUE(f.valid) << c.file;
        EXPECT_EQ(f.sampleRate, c.rate);
        EXPECT_EQ(f.channels, c.channels);
        EXPECT_EQ(f.bits, 16u);
        EXPECT_EQ(f.bytesPerSecond, c.rate * c.channels * 2);
        EXPECT_EQ(d->largestChunk(), 4608u);
        std::vector<uint8_t> chunk(4608);
        EXPECT_EQ(d->read(chunk), c.frameBytes);
        EXPECT_EQ(d->read(chunk), c.frameBytes);
    }
}

// The length counts the samples that decoding yields. Frames are counted a
// piece of the file at a time: a file of several pieces, with frames across
// their seams, counts every frame once.
TEST_F(Layer3DecoderTest, LengthOfAFileOfManyPiecesCountsEveryFrame) {
    const std::vector<uint8_t> one = readAudioData("mono_32k_44k.mp3");
    std::vector<uint8_t> many;
    for (int i = 0; i < 24; ++i) many.insert(many.end(), one.begin(), one.end());
    ASSERT_GT(many.size(), 256u * 1024);
    auto d = openBytes(many);
    const int64_t length = d->length();
    EXPECT_EQ(length, 24 * openBytes(one)->length());
    EXPECT_EQ(length, static_cast<int64_t>(decodeAll(*d).size() / 2));
}

TEST_F(Layer3DecoderTest, SkippingAHundredFramesAdvances115200Samples) {
    auto d = open("mono_32k_44k.mp3");
    ASSERT_TRUE(d->format().valid);
    uint64_t bytes = 0;
    for (int i = 0; i < 100; ++i) bytes += d->skip(0);
    EXPECT_EQ(bytes / 2, 115200u);
    EXPECT_EQ(d->framesDecoded(), 100u);  // the first one decoded for the format, 99 skipped
    std::vector<uint8_t> chunk(4608);
    EXPECT_EQ(d->read(chunk), 2304u);
}

// The tag is skipped again after a restart, which decodes the same again.
TEST_F(Layer3DecoderTest, SkipsAnId3v2TagBySyncsafeSizeAlsoAfterARestart) {
    const std::vector<uint8_t> plain = readAudioData("mono_32k_22k.mp3");
    std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0x00, 0x00, 0x07, 0x68};
    tagged.resize(1010, 0xFF);  // a tag body full of false syncs
    tagged.insert(tagged.end(), plain.begin(), plain.end());
    auto withTag = openBytes(tagged);
    auto without = openBytes(plain);
    ASSERT_TRUE(withTag->format().valid);
    EXPECT_EQ(withTag->id3TagLength(), 1010);
    const auto first = decodeAll(*withTag);
    EXPECT_EQ(first, decodeAll(*without));
    withTag->restart();
    EXPECT_FALSE(withTag->atEnd());
    EXPECT_EQ(decodeAll(*withTag), first);
}

TEST_F(Layer3DecoderTest, ADamagedTagSizeFailsCleanly) {
    std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    bytes.resize(3000, 0);
    auto d = openBytes(bytes);
    EXPECT_FALSE(d->format().valid);
    EXPECT_TRUE(d->atEnd());
}

TEST_F(Layer3DecoderTest, FreeFormatAndMpeg25FindNoFrames) {
    EXPECT_FALSE(openBytes(patchHeaders(readAudioData("mono_32k_44k.mp3"), [](uint8_t* h) { h[2] &= 0x0F; }))->format().valid);
    EXPECT_FALSE(openBytes(patchHeaders(readAudioData("mono_32k_22k.mp3"), [](uint8_t* h) { h[1] &= 0xE7; }))->format().valid);
}

TEST_F(Layer3DecoderTest, DropsFramesWhoseMainDataWasCutAway) {
    // Start the stream in the middle: frames whose main data begins before
    // the first kept byte are dropped, the rest decode.
    const std::vector<uint8_t> whole = readAudioData("joint_128k_44k.mp3");
    std::vector<uint8_t> cut(whole.begin() + 5000, whole.end());
    auto d = openBytes(cut);
    ASSERT_TRUE(d->format().valid);
    size_t reads = 0;
    const auto pcm = decodeAll(*d, &reads);
    EXPECT_GT(reads, 20u);
}

TEST_F(Layer3DecoderTest, GarbageNeverCrashesOrHangs) {
    std::mt19937 random(7);
    const std::vector<uint8_t> whole = readAudioData("joint_128k_44k.mp3");
    for (int round = 0; round < 20; ++round) {
        std::vector<uint8_t> damaged = whole;
        for (int i = 0; i < 200; ++i) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        auto d = openBytes(damaged);
        d->format();
        decodeAll(*d);
    }
    std::vector<uint8_t> noise(200000);
    for (auto& b : noise) b = static_cast<uint8_t>(random() | 0xE0);  // many false syncs
    auto d = openBytes(noise);
    d->format();
    decodeAll(*d);
}

}  // namespace
}  // namespace lv::audio
