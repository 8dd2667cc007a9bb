// The Resample's inner product at every kernel level against its definition,
// and the Resample's output alike at every level.
#include <gtest/gtest.h>

#include <algorithm>
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
    // 1 x -1: each term is 0 = -4 (high half) + 4 (rounded low half); the
    // low halves of 9000 vector steps would overflow 16-bit lanes.
    const int32_t longCount = 16 * 9000 + 5;
    const std::vector<int16_t> ones(longCount, 1), minusOnes(longCount, -1);
    for (KernelLevel level : levels) {
        limitFirKernels(level);
        for (int32_t count = 0; count <= 64; ++count)
            ASSERT_EQ(roundedDotProduct(taps.data(), x.data(), count), definition(taps, x, count))
                << "level " << static_cast<int>(level) << ", count " << count;
        EXPECT_EQ(roundedDotProduct(ones.data(), minusOnes.data(), longCount), 0) << "level " << static_cast<int>(level);
    }
}

TEST_F(FirKernels, ScaledSumsRoundAndClampAsTheirDefinition) {
    // Sums over the whole 32-bit range with the scale factors at both
    // ends, in place and into another array.
    std::mt19937 random(3);
    std::vector<int32_t> sums(203);
    for (int32_t& s : sums) s = static_cast<int32_t>(random());
    sums[0] = INT32_MIN;
    sums[1] = INT32_MAX;
    sums[2] = 4 * 4096;  // exactly one half after the scale of 1: rounds up
    sums[3] = -4 * 4096;
    for (const int32_t lpScl : {1, 7787, 16383}) {
        std::vector<int32_t> expected;
        for (const int32_t sum : sums) {
            const int64_t v = std::clamp<int64_t>(((int64_t{sum} >> 2) * lpScl + 4096) >> 13, -32768, 32767);
            expected.push_back(static_cast<int32_t>(v * 65536));
        }
        for (KernelLevel level : levels) {
            limitFirKernels(level);
            std::vector<int32_t> out(sums.size()), inPlace = sums;
            scaleFilterSums(sums.data(), static_cast<int32_t>(sums.size()), lpScl, out.data());
            scaleFilterSums(inPlace.data(), static_cast<int32_t>(sums.size()), lpScl, inPlace.data());
            EXPECT_EQ(out, expected) << "level " << static_cast<int>(level) << ", scale " << lpScl;
            EXPECT_EQ(inPlace, expected) << "level " << static_cast<int>(level) << ", scale " << lpScl;
        }
    }
}

TEST_F(FirKernels, ResampleGivesTheSameSamplesAtEveryLevel) {
    // 48000 to 44100 stereo with either filter (phases gathered one by
    // one); 22050 and 11025 to 44100 mono, two and four phases summed by
    // stepping through them.
    struct Case {
        uint32_t rate;
        uint16_t channels;
        int quality;
        size_t atLeast;
    };
    const Case cases[] = {{48000, 2, 0, 2 * 27000}, {48000, 2, 1, 2 * 27000}, {22050, 1, 1, 39000}, {11025, 1, 1, 39000}};
    for (const Case& c : cases) {
        const auto noise = randomSamples(c.channels == 2 ? 2 * 30000 : 20000, c.channels == 2 ? 3 : 4);
        std::vector<int16_t> outputs[3];
        for (KernelLevel level : levels) {
            limitFirKernels(level);
            auto r = createResample({StreamRef::owning(wavStream(c.rate, c.channels, noise)), 44100, c.quality});
            outputs[static_cast<int>(level)] = drain(*r);
        }
        ASSERT_GT(outputs[0].size(), c.atLeast) << c.rate << " " << c.quality;
        EXPECT_EQ(outputs[0], outputs[1]) << c.rate << " " << c.quality;
        EXPECT_EQ(outputs[0], outputs[2]) << c.rate << " " << c.quality;
    }
}

// Weights in the split form, phase by phase (`phase` weights each): random
// ones small enough for its 16-bit lanes, with the peak's large ones (coarse
// parts of -2 to 2) and the edges where the nearest coarse part changes.
struct Split {
    std::vector<int16_t> taps, fine, coarse;
    SplitForm form;
    explicit Split(std::vector<int16_t> t, size_t phase = 0)
        : taps(std::move(t)), fine(taps.size()), coarse(taps.size()) {
        if (phase == 0) phase = taps.size();
        form = splitPhases(taps.data(), static_cast<int32_t>(taps.size() / phase), static_cast<int32_t>(phase),
                           fine.data(), coarse.data());
    }
    SplitWeights weights(size_t offset = 0) const {
        return {fine.data() + offset, coarse.data() + offset, form.coarseBegin, form.coarseEnd};
    }
};

std::vector<int16_t> peakedTaps(int32_t count, unsigned seed) {
    std::mt19937 random(seed);
    const int range = 8191 / std::max(1, count / 16);  // the peak's lane keeps room for 16384
    std::uniform_int_distribution<int> value(-range, range);
    std::vector<int16_t> taps(static_cast<size_t>(count));
    for (int16_t& c : taps) c = static_cast<int16_t>(value(random));
    const int16_t peak[] = {32767, -24576, 24575, 8192, -8193, 16384, -16384};
    for (size_t i = 0; i < std::size(peak); ++i) taps[static_cast<size_t>(count / 2) - 3 + i] = peak[i];
    return taps;
}

TEST_F(FirKernels, SplitWeightsRoundEveryTermAsThePlainLoop) {
    for (int32_t count : {16, 64, 80, 128}) {
        const Split w(peakedTaps(count, static_cast<unsigned>(count)));
        ASSERT_TRUE(w.form.fits) << count;
        const std::vector<int16_t> extremes[] = {std::vector<int16_t>(static_cast<size_t>(count), -32768),
                                                 std::vector<int16_t>(static_cast<size_t>(count), 32767),
                                                 randomSamples(static_cast<size_t>(count), 7)};
        for (const auto& x : extremes) {
            // Twelve products: the eight-wide groups and a partial one.
            std::vector<DotTerms> terms(12, DotTerms{w.taps.data(), x.data(), count, w.weights()});
            std::vector<int32_t> sums(terms.size());
            for (KernelLevel level : levels) {
                limitFirKernels(level);
                roundedDotProducts(terms.data(), static_cast<int32_t>(terms.size()), sums.data());
                EXPECT_EQ(sums, std::vector<int32_t>(terms.size(), definition(w.taps, x, count)))
                    << "level " << static_cast<int>(level) << ", count " << count << ", x[0] " << x[0];
            }
        }
    }
}

TEST_F(FirKernels, SplitWeightsFitOnlyLanesUpTo32767) {
    std::vector<int16_t> taps(32, 0);
    taps[3] = 8192;   // fine -16384 (coarse 1)
    taps[19] = 8191;  // fine 16382: lane 3 holds 32766
    Split w(taps);
    EXPECT_TRUE(w.form.fits);
    EXPECT_EQ(w.form.coarseBegin, 0);
    EXPECT_EQ(w.form.coarseEnd, 1);
    taps[19] = -8192;  // fine -16384 again (coarse -1): 32768
    EXPECT_FALSE(Split(taps).form.fits);
    taps.pop_back();  // not whole 16-weight groups
    EXPECT_FALSE(Split(taps).form.fits);
    // Phases split on their own: a phase without coarse parts widens the
    // groups of the others not at all.
    std::vector<int16_t> phases(64, 0);
    phases[32 + 20] = 16384;  // phase 1, group 1
    const Split p(phases, 32);
    EXPECT_TRUE(p.form.fits);
    EXPECT_EQ(p.form.coarseBegin, 1);
    EXPECT_EQ(p.form.coarseEnd, 2);
}

// Stepped runs against the definition, with the phases laid out alike (the
// first one's weights at `taps`, the next at taps + count, ...).
std::vector<int32_t> steppedByDefinition(const FirSteps& steps, const std::vector<int16_t>& taps,
                                         const std::vector<int16_t>& x, int32_t n) {
    std::vector<int32_t> expected;
    for (int32_t k = 0, index = steps.index, fraction = steps.fraction; k < n; ++k) {
        const auto phase = static_cast<size_t>(fraction >> steps.phaseShift);
        const std::vector<int16_t> weights(taps.begin() + static_cast<ptrdiff_t>(phase) * steps.count, taps.end());
        const std::vector<int16_t> window(x.begin() + index - steps.left + 1, x.end());
        expected.push_back(definition(weights, window, steps.count));
        fraction += steps.dt;
        index += fraction >> 15;
        fraction &= 0x7FFF;
    }
    return expected;
}

TEST_F(FirKernels, SteppedRunsSumThePhasesAtTheirPositions) {
    // Four phases of 64 weights, every fraction a multiple of 2^13: a dt of
    // a quarter and a bit (each output one by one), and dt of a quarter and
    // of a half (16 or 32 positions at a time), from a fraction in mid-period.
    std::vector<int16_t> taps;
    for (unsigned p = 0; p < 4; ++p) {
        const auto phase = peakedTaps(64, 20 + p);
        taps.insert(taps.end(), phase.begin(), phase.end());
    }
    const Split w(taps, 64);
    ASSERT_TRUE(w.form.fits);
    const auto x = randomSamples(700, 9);
    for (const int32_t dt : {40960, 8192, 16384}) {
        const int32_t shift = dt == 16384 ? 14 : 13;
        FirSteps steps{w.taps.data(), w.weights(), 30, 64, shift, 40, 3 << shift & 0x7FFF, dt};
        const auto columns = firColumns(steps);
        ASSERT_EQ(columns != nullptr, dt != 40960);
        // Five blocks of 16 positions and some: with two phases, blocks of
        // 32 positions and one of 16 after them.
        const int32_t n = dt == 40960 ? 37 : 5 * 16 * 32768 / dt + 5;
        const auto expected = steppedByDefinition(steps, w.taps, x, n);
        for (const bool split : {false, true}) {
            FirSteps run = steps;
            if (!split) run.split = {};
            run.columns = split ? columns.get() : nullptr;
            for (KernelLevel level : levels) {
                limitFirKernels(level);
                std::vector<int32_t> sums(static_cast<size_t>(n));
                roundedDotSteps(run, x.data(), n, sums.data());
                EXPECT_EQ(sums, expected) << "dt " << dt << ", split " << split << ", level " << static_cast<int>(level);
            }
        }
    }
}

}  // namespace
}  // namespace lv::audio
