#include "audio/wav_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "audio/wav_writer.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

// Builds RIFF WAVE files chunk by chunk.
class WavBuilder {
public:
    WavBuilder& format(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign, uint32_t size = 16) {
        tag("RIFF");
        le(0, 4);  // the RIFF size is not used
        tag("WAVE");
        tag("fmt ");
        le(size, 4);
        le(1, 2);
        le(channels, 2);
        le(rate, 4);
        le(rate * blockAlign, 4);
        le(blockAlign, 2);
        le(bits, 2);
        for (uint32_t i = 16; i < size; ++i) bytes_.push_back(0);
        if (size & 1) bytes_.push_back(0);
        return *this;
    }
    // A chunk of `size` bytes of `fill`, followed by its pad byte when odd.
    WavBuilder& chunk(const char* id, uint32_t size, uint8_t fill, bool pad = true) {
        tag(id);
        le(size, 4);
        bytes_.insert(bytes_.end(), size, fill);
        if (pad && (size & 1)) bytes_.push_back(0xEE);
        return *this;
    }
    // A chunk header whose size claims bytes that do not follow.
    WavBuilder& header(const char* id, uint32_t claimed) {
        tag(id);
        le(claimed, 4);
        return *this;
    }
    WavBuilder& data(const std::vector<uint8_t>& samples, uint32_t claimed = 0) {
        tag("data");
        le(claimed ? claimed : static_cast<uint32_t>(samples.size()), 4);
        bytes_.insert(bytes_.end(), samples.begin(), samples.end());
        return *this;
    }
    std::unique_ptr<WavReader> open() const {
        return std::make_unique<WavReader>(test::memorySource(bytes_));
    }

private:
    void tag(const char* t) { bytes_.insert(bytes_.end(), t, t + 4); }
    void le(uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
    return v;
}

std::vector<uint8_t> readAll(Decoder& d) {
    std::vector<uint8_t> all, chunk(d.largestChunk());
    while (!d.atEnd()) {
        const size_t n = d.read(chunk);
        EXPECT_LE(n, WavReader::chunkBytes);
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
    }
    return all;
}

// Restart goes back to the first sample.
TEST(WavReader, ReadsPlainPcmInPiecesOf4096AgainAfterARestart) {
    const auto samples = ramp(10000);
    auto reader = WavBuilder().format(2, 44100, 16, 4).data(samples).open();
    const DecoderFormat f = reader->format();
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.channels, 2u);
    EXPECT_EQ(f.bits, 16u);
    EXPECT_EQ(f.bytesPerSecond, 176400u);
    EXPECT_EQ(reader->largestChunk(), 4096u);
    EXPECT_EQ(reader->length(), 2500);
    EXPECT_EQ(readAll(*reader), samples);
    reader->restart();
    EXPECT_EQ(readAll(*reader), samples);
}

// Files whose samples must come through whole: extra format bytes, chunks
// to walk over (odd ones padded), and data cut short by the end of input.
struct Readable {
    const char* name;
    WavBuilder file;
    size_t samples;
};

class ReadableFiles : public ::testing::TestWithParam<Readable> {};

TEST_P(ReadableFiles, GiveTheirSamples) {
    auto reader = GetParam().file.open();
    ASSERT_TRUE(reader->format().valid);
    EXPECT_EQ(readAll(*reader), ramp(GetParam().samples));
}

INSTANTIATE_TEST_SUITE_P(
    WavReader, ReadableFiles,
    ::testing::Values(Readable{"EighteenByteFormat", WavBuilder().format(1, 8000, 8, 1, 18).data(ramp(100)), 100},
                      Readable{"ListChunk", WavBuilder().format(1, 8000, 16, 2).chunk("LIST", 26, 'x').data(ramp(64)), 64},
                      Readable{"OddChunkPadded", WavBuilder().format(1, 8000, 16, 2).chunk("LIST", 25, 'x').data(ramp(64)), 64},
                      Readable{"InputRunsShort", WavBuilder().format(1, 8000, 16, 2).data(ramp(5000), 100000), 5000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WavReader, DataStartsAfterTheChunksWalkedOver) {
    EXPECT_EQ(WavBuilder().format(1, 8000, 16, 2).chunk("LIST", 26, 'x').data(ramp(64)).open()->dataStart(), 44 + 34);
}

TEST(WavReader, TakesBitsFromBlockAlignWhenZero) {
    auto reader = WavBuilder().format(1, 11025, 0, 1).data(ramp(10)).open();
    EXPECT_EQ(reader->format().bits, 8u);
}

TEST(WavReader, SkipIsByteExactAndStopsAtTheDataEnd) {
    const auto samples = ramp(1000);
    auto reader = WavBuilder().format(1, 8000, 16, 2).data(samples).open();
    EXPECT_EQ(reader->skip(600), 600u);
    std::vector<uint8_t> chunk(4096);
    ASSERT_EQ(reader->read(chunk), 400u);
    EXPECT_EQ(chunk[0], samples[600]);
    EXPECT_TRUE(reader->atEnd());
    EXPECT_EQ(reader->skip(10), 0u);
}

TEST(WavReader, RefusesWhatIsNotRiffWave) {
    std::vector<uint8_t> bytes = makeWav16(8000, 1, ramp(10));
    std::memcpy(bytes.data() + 8, "AVI ", 4);
    WavReader reader(test::memorySource(bytes));
    EXPECT_FALSE(reader.format().valid);
    EXPECT_TRUE(reader.atEnd());
}

// No data chunk, a chunk size past the file, impossible channels, rate, bits.
TEST(WavReader, RefusesBrokenChunksAndImpossibleFormats) {
    for (const WavBuilder& file : {WavBuilder().format(1, 8000, 16, 2).chunk("LIST", 10, 0),
                                   WavBuilder().format(1, 8000, 16, 2).header("junk", 0xFFFFFFF0u).data(ramp(64)),
                                   WavBuilder().format(33, 8000, 16, 66).data(ramp(66)),
                                   WavBuilder().format(1, 96001, 16, 2).data(ramp(2)),
                                   WavBuilder().format(1, 8000, 12, 2).data(ramp(2))})
        EXPECT_FALSE(file.open()->format().valid);
}

}  // namespace
}  // namespace lv::audio
