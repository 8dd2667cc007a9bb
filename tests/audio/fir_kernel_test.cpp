// The Resample's inner product at every kernel level against its definition,
// and the Resample's output alike at every level.
#include <gtest/gtest.h>

#include <random>

#include "audio/fir_kernel.h"
#include "audio_graph_fixture.h"

namespace lv::audio {
namespace {

using test::drain;
using test::wavStream;

constexpr KernelLevel levels[] = {KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx};

class FirKernels : public ::testing::Test {
protected:
    ~FirKernels() override { limitFirKernels(KernelLevel::avx); }
};

std::vector<int16_t> randomSamples(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-32768, 32767);
    std::vector<int16_t> v(n);
    for (int16_t& s : v) s = static_cast<int16_t>(value(random));
    return v;
}

int32_t definition(const std::vector<int16_t>& taps, const std::vector<int16_t>& x, int32_t count) {
    int32_t sum = 0;
    for (int32_t i = 0; i < count; ++i) sum += static_cast<int32_t>((int64_t{taps[i]} * x[i] + 8192) >> 14);
    return sum;
}

TEST_F(FirKernels, RoundEveryTermOnItsOwn) {
    auto taps = randomSamples(64, 1), x = randomSamples(64, 2);
    taps[0] = x[0] = -32768;  // the one product that needs all 31 bits
    taps[9] = 2;              // terms of exactly one half round up
    x[9] = 4096;
    taps[10] = -2;
    x[10] = 4096;
    for (KernelLevel level : levels) {
        limitFirKernels(level);
        for (int32_t count = 0; count <= 64; ++count)
            ASSERT_EQ(roundedDotProduct(taps.data(), x.data(), count), definition(taps, x, count))
                << "level " << static_cast<int>(level) << ", count " << count;
    }
}

TEST_F(FirKernels, LongSumsOfRoundedUpLowHalvesDoNotOverflowTheirLanes) {
    // 1 x -1: each term is 0 = -4 (high half) + 4 (rounded low half); the
    // low halves of 9000 vector steps would overflow 16-bit lanes.
    const int32_t count = 16 * 9000 + 5;
    const std::vector<int16_t> taps(count, 1), x(count, -1);
    for (KernelLevel level : levels) {
        limitFirKernels(level);
        EXPECT_EQ(roundedDotProduct(taps.data(), x.data(), count), 0) << "level " << static_cast<int>(level);
    }
}

TEST_F(FirKernels, ResampleGivesTheSameSamplesAtEveryLevel) {
    const auto noise = randomSamples(2 * 30000, 3);
    for (int quality : {0, 1}) {
        std::vector<int16_t> outputs[3];
        for (KernelLevel level : levels) {
            limitFirKernels(level);
            auto r = createResample({StreamRef::owning(wavStream(48000, 2, noise)), 44100, quality});
            outputs[static_cast<int>(level)] = drain(*r);
        }
        ASSERT_GT(outputs[0].size(), 2u * 27000) << quality;
        EXPECT_EQ(outputs[0], outputs[1]) << quality;
        EXPECT_EQ(outputs[0], outputs[2]) << quality;
    }
}

}  // namespace
}  // namespace lv::audio
