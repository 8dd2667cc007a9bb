// MPEG frames stored straight into channel storage: an MPEG source must
// hold exactly what the decoder's interleaved 16-bit read gives (stored
// left-justified), at every kernel level, whether it runs the planar path
// (positions that are multiples of 32, frames crossing storage blocks) or
// falls back to the interleaved one (other positions).
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "audio/audio_stream.h"
#include "audio/file_source.h"
#include "audio/decoder.h"
#include "audio/polyphase_synthesis.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

// MPEG-1 Layer I/II frames of the given header whose bodies are random
// bits: loud noise, often clipped.
std::vector<uint8_t> noiseFrames(uint8_t b1, uint8_t b2, uint8_t b3, int count, size_t frameLength) {
    std::mt19937 random(3);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {0xFF, b1, b2, b3});
        for (size_t k = 4; k < frameLength; ++k) bytes.push_back(static_cast<uint8_t>(random()));
    }
    return bytes;
}

struct Input {
    const char* name;
    uint16_t kind;
    std::vector<uint8_t> bytes() const {
        if (kind == kindLayer3Source) return test::readAudioData(name);
        if (std::string(name) == "layer1") return noiseFrames(0xFF, 0xC4, 0x00, 30, 384);  // stereo, 384 kbit/s
        return noiseFrames(0xFD, 0x84, 0xC0, 20, 384);  // Layer II mono, 128 kbit/s
    }
};

// Every sample by the decoder's read(), plain kernels, as storage holds them.
std::vector<int32_t> readInterleaved(const Input& input) {
    PolyphaseSynthesis::limitKernels(KernelLevel::plain);
    auto decoder = openDecoder(static_cast<DecoderKind>(input.kind), test::memorySource(input.bytes()));
    decoder->format();
    std::vector<int32_t> samples;
    std::vector<uint8_t> chunk(decoder->largestChunk());
    while (!decoder->atEnd()) {
        const size_t n = decoder->read(chunk);
        for (size_t i = 0; i + 1 < n; i += 2)
            samples.push_back(fromSample16(static_cast<int16_t>(chunk[i] | chunk[i + 1] << 8)));
    }
    return samples;
}

// A source started at `position`, pumped to its end, read back interleaved
// in 32 bits.
std::vector<int32_t> sourceSamples(const Input& input, int64_t position) {
    auto s = openSource(input.kind, test::memorySource(input.bytes()));
    if (!s) return {};
    s->jumpTo(position);
    while (!s->finished()) s->pump();
    const auto frames = static_cast<int32_t>(s->validEnd() - position);
    std::vector<int32_t> samples(static_cast<size_t>(frames) * s->channels());
    if (s->readInterleaved(samples.data(), frames, position, 32) != frames) return {};
    return samples;
}

class PlanarSource : public ::testing::TestWithParam<std::tuple<Input, KernelLevel>> {
protected:
    ~PlanarSource() override { PolyphaseSynthesis::limitKernels(KernelLevel::avx); }
};

TEST_P(PlanarSource, StoresWhatTheInterleavedReadGivesAtEveryPosition) {
    const auto [input, level] = GetParam();
    const auto expected = readInterleaved(input);
    ASSERT_GT(expected.size(), 20000u);
    PolyphaseSynthesis::limitKernels(level);
    for (int64_t position : {0, 17, 8192 - 32})
        EXPECT_TRUE(sourceSamples(input, position) == expected) << "from " << position;
}

INSTANTIATE_TEST_SUITE_P(Mpeg, PlanarSource,
                         ::testing::Combine(::testing::Values(Input{"joint_128k_44k.mp3", kindLayer3Source},
                                                              Input{"mono_32k_22k.mp3", kindLayer3Source},
                                                              Input{"layer1", kindLayer12Source},
                                                              Input{"layer2", kindLayer12Source}),
                                            ::testing::Values(KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx)));

}  // namespace
}  // namespace lv::audio
