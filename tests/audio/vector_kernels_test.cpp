// The vector kernels of the synthesis filter bank and the IMDCT against the
// plain ones on the same input: the decoded PCM must be identical at every
// kernel level the processor runs. The fast long IMDCT against its
// definition.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "audio/audio_stream.h"
#include "audio/mp3_decoder.h"
#include "audio/mp3_imdct.h"
#include "audio/polyphase_synthesis.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

constexpr KernelLevel levels[] = {KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx};

void limitKernels(KernelLevel level) {
    PolyphaseSynthesis::limitKernels(level);
    mp3::limitImdctKernels(level);
}

class KernelLevels : public ::testing::Test {
protected:
    ~KernelLevels() override { limitKernels(KernelLevel::avx); }
};

std::vector<uint8_t> decodeWithKernels(const std::string& file, KernelLevel level) {
    limitKernels(level);
    Layer3Decoder decoder(test::memorySource(test::readAudioData(file)));
    std::vector<uint8_t> pcm, chunk(decoder.largestChunk());
    while (!decoder.atEnd()) {
        const size_t n = decoder.read(chunk);
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
    }
    return pcm;
}

class VectorKernels : public KernelLevels, public ::testing::WithParamInterface<const char*> {};

TEST_P(VectorKernels, GiveTheSamePcmAsThePlainKernels) {
    const auto plain = decodeWithKernels(GetParam(), KernelLevel::plain);
    ASSERT_FALSE(plain.empty());
    for (KernelLevel level : {KernelLevel::sse2, KernelLevel::avx})
        EXPECT_EQ(plain, decodeWithKernels(GetParam(), level)) << "level " << static_cast<int>(level);
}

INSTANTIATE_TEST_SUITE_P(Layer3, VectorKernels, ::testing::Values("joint_128k_44k.mp3", "mono_32k_22k.mp3"));

double longWindow(int blockType, int i) {
    const double pi = std::numbers::pi;
    const double normal = std::sin(pi / 36 * (i + 0.5));
    if (blockType == 1) return i < 18 ? normal : i < 24 ? 1 : i < 30 ? std::sin(pi / 12 * (i - 18 + 0.5)) : 0;
    if (blockType == 3) return i < 6 ? 0 : i < 12 ? std::sin(pi / 12 * (i - 6 + 0.5)) : i < 18 ? 1 : normal;
    return normal;
}

using Imdct = KernelLevels;

TEST_F(Imdct, LongTransformMatchesItsDefinitionForEveryBlockType) {
    // x[i] = w(i) sum_k X[k] cos(pi / 72 (2i + 19)(2k + 1)), 11172-3 2.4.3.4.10.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    float in[18];
    for (float& x : in) x = value(random);
    for (int blockType : {0, 1, 3}) {
        float out[36];
        mp3::imdctLong(in, out, blockType);
        for (int i = 0; i < 36; ++i) {
            double expected = 0;
            for (int k = 0; k < 18; ++k) expected += in[k] * std::cos(std::numbers::pi / 72 * (2 * i + 19) * (2 * k + 1));
            EXPECT_NEAR(out[i], expected * longWindow(blockType, i), 2e-5) << "type " << blockType << ", " << i;
        }
    }
}

TEST_F(Imdct, FourSubbandsAtOnceGiveWhatEachGivesAlone) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    float in[4 * 18];
    for (float& x : in) x = value(random);
    for (KernelLevel level : levels) {
        limitKernels(level);
        for (int blockType : {0, 1, 3}) {
            float four[36][4];
            mp3::imdctLong4(in, four, blockType);
            for (int s = 0; s < 4; ++s) {
                float one[36];
                mp3::imdctLong(in + 18 * s, one, blockType);
                for (int i = 0; i < 36; ++i)
                    ASSERT_EQ(four[i][s], one[i]) << "level " << static_cast<int>(level) << ", type " << blockType
                                                  << ", subband " << s << ", sample " << i;
            }
        }
    }
}

using Synthesis = KernelLevels;

TEST_F(Synthesis, ADcSubbandSettlesToItsLevel) {
    // A constant in subband 0 alone comes out as a constant of the same
    // level once the filter's history is full.
    for (KernelLevel level : levels) {
        PolyphaseSynthesis::limitKernels(level);
        PolyphaseSynthesis synthesis;
        float subbands[32] = {0.25f};
        int16_t out[32];
        for (int block = 0; block < 40; ++block) synthesis.run(subbands, out, 1);
        for (int16_t sample : out) EXPECT_NEAR(sample, 0.25 * 32768, 40);
    }
}

TEST_F(Synthesis, EveryKernelClipsAndRoundsAlikeInBothOutputForms) {
    // Quiet random subbands (rounded), then loud ones far beyond full scale
    // and a NaN (clipped; the filter keeps 16 blocks), then quiet ones again.
    // The 16-bit output (here every second sample) and the left-justified
    // one that MPEG sources store must give the plain kernel's 16-bit
    // samples at every level.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    float blocks[80][32];
    for (int block = 0; block < 80; ++block)
        for (float& s : blocks[block]) s = value(random) * (block >= 24 && block < 48 ? 1e6f : 0.05f);
    blocks[40][5] = std::numeric_limits<float>::quiet_NaN();
    std::vector<int16_t> plain;
    for (KernelLevel level : levels) {
        PolyphaseSynthesis::limitKernels(level);
        PolyphaseSynthesis narrow, wide;
        std::vector<int16_t> pcm;
        std::vector<int32_t> stored;
        for (const auto& block : blocks) {
            int16_t out[64];
            int32_t leftJustified[32];
            narrow.run(block, out, 2);
            wide.runLeftJustified(block, leftJustified);
            for (int j = 0; j < 32; ++j) pcm.push_back(out[2 * j]);
            stored.insert(stored.end(), leftJustified, leftJustified + 32);
        }
        if (plain.empty()) plain = pcm;
        EXPECT_EQ(pcm, plain) << "level " << static_cast<int>(level);
        std::vector<int32_t> expected;
        for (int16_t sample : plain) expected.push_back(fromSample16(sample));
        EXPECT_EQ(stored, expected) << "level " << static_cast<int>(level);
        const auto clipped = std::count_if(plain.begin(), plain.end(), [](int16_t v) { return std::abs(v) >= 32767; });
        EXPECT_GT(clipped, 0);
        EXPECT_GT(static_cast<long>(plain.size()) - clipped, 1000);
    }
}

TEST(Pcm16, RoundsToNearestAndClips) {
    EXPECT_EQ(toPcm16(0.5f), 16384);
    EXPECT_EQ(toPcm16(-1.0f), -32768);
    EXPECT_EQ(toPcm16(1.0f), 32767);
    EXPECT_EQ(toPcm16(1e30f), 32767);
    EXPECT_EQ(toPcm16(-1e30f), -32768);
    EXPECT_EQ(toPcm16(1.4f / 32768), 1);
    EXPECT_EQ(toPcm16(-1.6f / 32768), -2);
}

}  // namespace
}  // namespace lv::audio
