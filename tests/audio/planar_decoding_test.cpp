// MPEG frames stored straight into channel storage: a Layer III source must
// hold exactly what the decoder's interleaved 16-bit read gives (stored
// left-justified), at every kernel level, whether it runs the planar path
// (positions that are multiples of 32, frames crossing storage blocks) or
// falls back to the interleaved one (other positions).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "audio/audio_stream.h"
#include "audio/file_source.h"
#include "audio/mp3_decoder.h"
#include "audio/polyphase_synthesis.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

// Every sample of a file by read(), plain kernels, as storage holds them.
std::vector<int32_t> readInterleaved(const std::string& file) {
    PolyphaseSynthesis::limitKernels(KernelLevel::plain);
    Layer3Decoder decoder(test::memorySource(test::readAudioData(file)));
    decoder.format();
    std::vector<int32_t> samples;
    std::vector<uint8_t> chunk(decoder.largestChunk());
    while (!decoder.atEnd()) {
        const size_t n = decoder.read(chunk);
        for (size_t i = 0; i + 1 < n; i += 2)
            samples.push_back(fromSample16(static_cast<int16_t>(chunk[i] | chunk[i + 1] << 8)));
    }
    return samples;
}

// A Layer III source started at `position`, pumped to its end, read back
// interleaved in 32 bits.
std::vector<int32_t> sourceSamples(const std::string& file, int64_t position) {
    auto s = openSource(kindLayer3Source, test::memorySource(test::readAudioData(file)));
    if (!s) return {};
    s->jumpTo(position);
    while (!s->finished()) s->pump();
    std::vector<int32_t> samples(static_cast<size_t>(s->validEnd() - position) * s->channels());
    const auto frames = static_cast<int32_t>(s->validEnd() - position);
    if (s->readInterleaved(samples.data(), frames, position, 32) != frames) return {};
    return samples;
}

class PlanarSource : public ::testing::TestWithParam<std::tuple<const char*, KernelLevel>> {
protected:
    ~PlanarSource() override { PolyphaseSynthesis::limitKernels(KernelLevel::avx); }
};

TEST_P(PlanarSource, StoresWhatTheInterleavedReadGivesAtEveryPosition) {
    const auto [file, level] = GetParam();
    const auto expected = readInterleaved(file);
    ASSERT_GT(expected.size(), 20000u);
    PolyphaseSynthesis::limitKernels(level);
    for (int64_t position : {0, 17, 8192 - 32})
        EXPECT_TRUE(sourceSamples(file, position) == expected) << "from " << position;
}

INSTANTIATE_TEST_SUITE_P(Layer3, PlanarSource,
                         ::testing::Combine(::testing::Values("joint_128k_44k.mp3", "mono_32k_22k.mp3"),
                                            ::testing::Values(KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx)));

TEST(PlanarSynthesis, ClipsAndRoundsAsThe16BitOutputAtEveryLevel) {
    // Subband samples far beyond full scale, and a NaN, so outputs clip.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(-40.0f, 40.0f);
    float blocks[24][32];
    for (auto& block : blocks)
        for (float& v : block) v = value(random);
    blocks[9][3] = std::numeric_limits<float>::quiet_NaN();
    for (KernelLevel level : {KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx}) {
        PolyphaseSynthesis::limitKernels(KernelLevel::plain);
        PolyphaseSynthesis narrow;
        int16_t pcm[24][32];
        for (int b = 0; b < 24; ++b) narrow.run(blocks[b], pcm[b], 1);
        PolyphaseSynthesis::limitKernels(level);
        PolyphaseSynthesis wide;
        int clipped = 0;
        for (int b = 0; b < 24; ++b) {
            int32_t stored[32];
            wide.runLeftJustified(blocks[b], stored);
            for (int j = 0; j < 32; ++j) {
                EXPECT_EQ(stored[j], fromSample16(pcm[b][j])) << "level " << static_cast<int>(level) << " at " << b;
                clipped += std::abs(pcm[b][j]) >= 32767;
            }
        }
        EXPECT_GT(clipped, 0);
    }
    PolyphaseSynthesis::limitKernels(KernelLevel::avx);
}

}  // namespace
}  // namespace lv::audio
