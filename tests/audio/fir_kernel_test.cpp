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

// Taps whose lanes (pairs 2j, 2j + 1 of every 16) add up to at most 65535
// in magnitude, with every tap times 4 beside them.
struct PairwiseTaps {
    std::vector<int16_t> taps, taps4;
    explicit PairwiseTaps(std::vector<int16_t> t) : taps(std::move(t)) {
        for (int16_t c : taps) taps4.push_back(static_cast<int16_t>(c * 4));
    }
};

PairwiseTaps fittingTaps(int32_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-32768 / (count / 8), 32767 / (count / 8));
    std::vector<int16_t> taps(static_cast<size_t>(count));
    for (int16_t& c : taps) c = static_cast<int16_t>(value(random));
    taps[0] = -32768;  // lane 0 at the bound: -32768 and 32767
    taps[1] = 32767;
    for (int32_t i = 16; i < count; i += 16) taps[static_cast<size_t>(i)] = taps[static_cast<size_t>(i) + 1] = 0;
    return PairwiseTaps(taps);
}

TEST_F(FirKernels, ResampleOfFewPhasesGivesTheSameSamplesAtEveryLevel) {
    // 22050 to 44100: two phases, summed by stepping through them.
    const auto noise = randomSamples(20000, 4);
    std::vector<int16_t> outputs[3];
    for (KernelLevel level : levels) {
        limitFirKernels(level);
        auto r = createResample({StreamRef::owning(wavStream(22050, 1, noise)), 44100, 1});
        outputs[static_cast<int>(level)] = drain(*r);
    }
    ASSERT_GT(outputs[0].size(), 39000u);
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(outputs[0], outputs[2]);
}

TEST_F(FirKernels, PairwiseSumsRoundEveryTermAsThePlainLoop) {
    for (int32_t count : {16, 64, 80, 128}) {
        const PairwiseTaps t = fittingTaps(count, static_cast<unsigned>(count));
        ASSERT_TRUE(pairSumsFit(t.taps.data(), count));
        const std::vector<int16_t> extremes[] = {std::vector<int16_t>(static_cast<size_t>(count), -32768),
                                                 std::vector<int16_t>(static_cast<size_t>(count), 32767),
                                                 randomSamples(static_cast<size_t>(count), 7)};
        for (const auto& x : extremes) {
            // Twelve products: the eight-wide groups and a partial one.
            std::vector<DotTerms> terms(12, DotTerms{t.taps.data(), x.data(), count, t.taps4.data()});
            std::vector<int32_t> sums(terms.size());
            for (KernelLevel level : levels) {
                limitFirKernels(level);
                roundedDotProducts(terms.data(), static_cast<int32_t>(terms.size()), sums.data());
                EXPECT_EQ(sums, std::vector<int32_t>(terms.size(), definition(t.taps, x, count)))
                    << "level " << static_cast<int>(level) << ", count " << count << ", x[0] " << x[0];
            }
        }
    }
}

TEST_F(FirKernels, PairSumsFitOnlyLanesUpTo65535) {
    std::vector<int16_t> taps(32, 0);
    taps[2] = -32768;  // lane 1: 2 and 3, then 18 and 19
    taps[19] = 32767;
    EXPECT_TRUE(pairSumsFit(taps.data(), 32));
    taps[3] = 1;
    EXPECT_FALSE(pairSumsFit(taps.data(), 32));
    EXPECT_FALSE(pairSumsFit(taps.data(), 30));  // not whole 16-tap steps
}

TEST_F(FirKernels, SteppedRunsSumThePhasesAtTheirPositions) {
    // Four phases (dt of a quarter and a bit: every fraction multiple of
    // 2^13), one of them without the pairwise weights.
    std::vector<PairwiseTaps> sets;
    std::vector<FirPhase> phases;
    for (int32_t p = 0; p < 4; ++p) sets.push_back(fittingTaps(64, 20 + static_cast<unsigned>(p)));
    for (int32_t p = 0; p < 4; ++p)
        phases.push_back({sets[p].taps.data(), p == 2 ? nullptr : sets[p].taps4.data(), 30 + p, 64});
    const auto x = randomSamples(600, 9);
    const FirSteps steps{phases.data(), 13, 40, 8192, 40960};
    const int32_t n = 37;
    std::vector<int32_t> expected;
    for (int32_t k = 0, index = 40, fraction = 8192; k < n; ++k) {
        const auto p = static_cast<size_t>(fraction >> 13);
        const std::vector<int16_t> window(x.begin() + index - phases[p].left + 1, x.end());
        expected.push_back(definition(sets[p].taps, window, 64));
        fraction += steps.dt;
        index += fraction >> 15;
        fraction &= 0x7FFF;
    }
    for (KernelLevel level : levels) {
        limitFirKernels(level);
        std::vector<int32_t> sums(n);
        roundedDotSteps(steps, x.data(), n, sums.data());
        EXPECT_EQ(sums, expected) << "level " << static_cast<int>(level);
    }
}

}  // namespace
}  // namespace lv::audio
