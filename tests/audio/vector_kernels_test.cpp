// The vector kernels of the synthesis filter bank and the IMDCT against the
// plain ones on the same input: the decoded PCM must be identical.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio/mp3_decoder.h"
#include "audio/mp3_imdct.h"
#include "audio/polyphase_synthesis.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

std::vector<uint8_t> decodeWithKernels(const std::string& file, bool vector) {
    PolyphaseSynthesis::useVectorKernel(vector);
    mp3::useVectorImdct(vector);
    Layer3Decoder decoder(test::memorySource(test::readAudioData(file)));
    std::vector<uint8_t> pcm, chunk(decoder.largestChunk());
    while (!decoder.atEnd()) {
        const size_t n = decoder.read(chunk);
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
    }
    PolyphaseSynthesis::useVectorKernel(true);
    mp3::useVectorImdct(true);
    return pcm;
}

class VectorKernels : public ::testing::TestWithParam<const char*> {};

TEST_P(VectorKernels, GiveTheSamePcmAsThePlainKernels) {
    const auto plain = decodeWithKernels(GetParam(), false);
    const auto vector = decodeWithKernels(GetParam(), true);
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain, vector);
}

INSTANTIATE_TEST_SUITE_P(Layer3, VectorKernels, ::testing::Values("joint_128k_44k.mp3", "mono_32k_22k.mp3"));

TEST(Imdct, LongTransformOfOneLineIsItsWindowedCosine) {
    // Only X[0] set: x[i] = w(i) cos(pi / 72 (2i + 19)).
    float in[18] = {1.0f};
    float out[36];
    for (bool vector : {false, true}) {
        mp3::useVectorImdct(vector);
        mp3::imdctLong(in, out, 0);
        for (int i = 0; i < 36; ++i) {
            const double expected = std::sin(std::numbers::pi / 36 * (i + 0.5)) * std::cos(std::numbers::pi / 72 * (2 * i + 19));
            EXPECT_NEAR(out[i], expected, 1e-6) << i;
        }
    }
    mp3::useVectorImdct(true);
}

TEST(PolyphaseSynthesis, ADcSubbandSettlesToItsLevel) {
    // A constant in subband 0 alone comes out as a constant of the same
    // level once the filter's history is full.
    for (bool vector : {false, true}) {
        PolyphaseSynthesis::useVectorKernel(vector);
        PolyphaseSynthesis synthesis;
        float subbands[32] = {0.25f};
        int16_t out[32];
        for (int block = 0; block < 40; ++block) synthesis.run(subbands, out, 1);
        for (int16_t sample : out) EXPECT_NEAR(sample, 0.25 * 32768, 40);
    }
    PolyphaseSynthesis::useVectorKernel(true);
}

}  // namespace
}  // namespace lv::audio
