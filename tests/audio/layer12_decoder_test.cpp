#include "audio/layer12_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/format_probe.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

// `count` silent frames (every allocation 0) of the given header, after
// `junk` bytes that exercise the sync search.
std::vector<uint8_t> silentFrames(uint8_t b1, uint8_t b2, uint8_t b3, int count, size_t frameLength, size_t junk = 4) {
    std::vector<uint8_t> bytes(junk + static_cast<size_t>(count) * frameLength, 0);
    std::fill_n(bytes.begin(), junk, uint8_t{0xFF});
    for (size_t at = junk; at < bytes.size(); at += frameLength)
        bytes[at] = 0xFF, bytes[at + 1] = b1, bytes[at + 2] = b2, bytes[at + 3] = b3;
    return bytes;
}

std::unique_ptr<Layer12Decoder> open(std::vector<uint8_t> bytes) {
    return std::make_unique<Layer12Decoder>(test::memorySource(std::move(bytes)));
}

// Layer II, 128 kbit/s, 48 kHz, mono: 384-byte frames.
const auto layer2Mono = [] { return silentFrames(0xFD, 0x84, 0xC0, 5, 384); };

TEST(Layer12Decoder, DeliversTwoChannelsOf1152SamplesPerLayer2Frame) {
    auto d = open(layer2Mono());
    const DecoderFormat f = d->format();
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.sampleRate, 48000u);
    EXPECT_EQ(f.channels, 2u);
    EXPECT_EQ(d->largestChunk(), 4608u);
    EXPECT_EQ(d->length(), 5 * 1152);
    std::vector<uint8_t> chunk(4608, 0x55);
    int frames = 0;
    while (!d->atEnd()) {
        ASSERT_EQ(d->read(chunk), 4608u);
        EXPECT_EQ(chunk[100], 0);  // silence
        ++frames;
    }
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(d->read(chunk), 0u);
}

// Layer I, 384 kbit/s, 48 kHz, stereo: 12 * 384000 / 48000 * 4 = 384 bytes
// a frame. A decoder that cannot skip consumes nothing by trying; restart
// reads the frames again.
TEST(Layer12Decoder, Layer1FramesHold384SamplesAndRestartReadsThemAgain) {
    auto d = open(silentFrames(0xFF, 0xC4, 0x00, 3, 384));
    ASSERT_TRUE(d->format().valid);
    EXPECT_EQ(d->skip(4608), 0u);
    std::vector<uint8_t> chunk(4608);
    int frames = 0;
    for (; !d->atEnd(); ++frames) ASSERT_EQ(d->read(chunk), 384u * 4);
    EXPECT_EQ(frames, 3);
    d->restart();
    EXPECT_FALSE(d->atEnd());
    EXPECT_EQ(d->read(chunk), 384u * 4);
}

TEST(Layer12Decoder, RefusesStreamsWithoutLayer12Frames) {
    EXPECT_FALSE(open(test::readAudioData("mono_32k_44k.mp3"))->format().valid);  // Layer III
    EXPECT_FALSE(open(silentFrames(0xF5, 0x84, 0xC0, 3, 384))->format().valid);     // MPEG-2 Layer II
    EXPECT_FALSE(open(std::vector<uint8_t>(5000, 0xFF))->format().valid);
    EXPECT_TRUE(open({})->atEnd());
}

TEST(FormatProbe, ScoresEachKindByItsStart) {
    MemoryByteSource layer2(layer2Mono());
    EXPECT_EQ(probeLayer12(layer2), 0);  // junk before the first frame
    MemoryByteSource bareLayer2(silentFrames(0xFD, 0x84, 0xC0, 5, 384, 0), "x.mp2");
    EXPECT_EQ(probeFormat(bareLayer2), DecoderKind::layer12);
    EXPECT_EQ(probeLayer3(bareLayer2), 0);

    MemoryByteSource mp3(test::readAudioData("joint_128k_44k.mp3"));
    EXPECT_EQ(probeFormat(mp3), DecoderKind::layer3);
}

TEST(FormatProbe, FindsALayer3HeaderInsideTheFirstKilobyteOnlyForMp3Names) {
    std::vector<uint8_t> bytes(700, 0);
    const auto frames = test::readAudioData("mono_32k_44k.mp3");
    bytes.insert(bytes.end(), frames.begin(), frames.end());
    MemoryByteSource named(bytes, "song.MP3"), unnamed(bytes, ".mp3"), other(bytes, "song.bin");
    EXPECT_EQ(probeLayer3(named), 50);
    EXPECT_EQ(probeLayer3(unnamed), 0);
    EXPECT_EQ(probeLayer3(other), 0);
}

TEST(FormatProbe, Id3AndRiffStarts) {
    MemoryByteSource id3(std::vector<uint8_t>{'I', 'D', '3', 0, 0}, "a");
    EXPECT_EQ(probeLayer3(id3), 100);
    const uint8_t start[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 30, 0, 0, 0, 0x55, 0};
    std::vector<uint8_t> riff(60, 0);
    std::copy(std::begin(start), std::end(start), riff.begin());
    MemoryByteSource riffMp3(riff);
    EXPECT_EQ(probeLayer3(riffMp3), 50);
    EXPECT_EQ(probeWav(riffMp3), 0);
}

}  // namespace
}  // namespace lv::audio
