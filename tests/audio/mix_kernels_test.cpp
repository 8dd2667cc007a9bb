// The Mixer's and the VolumeFader's loops and the stereo split and join at
// every kernel level against their definitions, on samples that reach the
// ends of 32 bits.
#include "audio/mix_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace lv::audio {
namespace {

constexpr KernelLevel levels[] = {KernelLevel::plain, KernelLevel::sse2, KernelLevel::avx};

std::vector<int32_t> loudSamples(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<int32_t> v(n);
    for (int32_t& s : v) s = static_cast<int32_t>(random());
    v[0] = INT32_MIN;
    v[1] = INT32_MAX;
    return v;
}

int32_t saturatedDefinition(int64_t sum) {
    return sum < -268435456 ? INT32_MIN : sum >= 268435456 ? INT32_MAX : static_cast<int32_t>(sum * 8);
}

class MixKernelLevels : public ::testing::TestWithParam<KernelLevel> {
protected:
    void SetUp() override { limitMixKernels(GetParam()); }
    void TearDown() override { limitMixKernels(KernelLevel::avx); }
    // 1003 samples: whole vectors and a tail.
    const std::vector<int32_t> a = loudSamples(1003, 1), b = loudSamples(1003, 2), c = loudSamples(1003, 3);
};

TEST_P(MixKernelLevels, SumsSaturateAsTheMixerDefinesThem) {
    const MixKernels& k = mixKernels();
    // Gains whose magnitudes add up to 2047, the most that 32-bit sums take.
    const int32_t ga = 1000, gb = -700, gc = 347;
    std::vector<int32_t> sums(a.size()), out(a.size()), single(a.size());
    k.sumFirst(a.data(), ga, 1003, sums.data());
    k.sumAdd(b.data(), gb, 1003, sums.data());
    k.sumLast(c.data(), gc, 1003, sums.data(), out.data());
    k.sumLast(a.data(), 256, 1003, nullptr, single.data());
    for (size_t i = 0; i < a.size(); ++i) {
        const int64_t sum = int64_t{a[i] >> 11} * ga + int64_t{b[i] >> 11} * gb + int64_t{c[i] >> 11} * gc;
        ASSERT_EQ(out[i], saturatedDefinition(sum)) << i;
        ASSERT_EQ(single[i], saturatedDefinition(int64_t{a[i] >> 11} * 256)) << i;
    }
}

// Sums at the saturation's edges, each reached from stored sums and from a
// last term of either sign.
TEST_P(MixKernelLevels, SaturationIsExactAtItsEdges) {
    constexpr int32_t limit = 268435456;
    const int32_t edges[] = {-2145386496, -limit - 8, -limit - 1, -limit, -limit + 1, -1, 0,
                             1,           limit - 1,  limit,      limit + 1, limit + 8, 2145386495};
    const int32_t terms[] = {INT32_MIN, -2048, 0, 2047, INT32_MAX};  // >> 11: -2^20, -1, 0, 0, 2^20 - 1
    std::vector<int32_t> in, sums, out(std::size(edges) * std::size(terms)), scaled(out.size());
    for (int32_t e : edges)
        for (int32_t t : terms) {
            in.push_back(t);
            sums.push_back(e - (t >> 11) * 2);
        }
    mixKernels().sumLast(in.data(), 2, static_cast<int32_t>(in.size()), sums.data(), out.data());
    mixKernels().sumLastInRange(in.data(), 2, static_cast<int32_t>(in.size()), sums.data(), scaled.data());
    for (size_t i = 0; i < out.size(); ++i) {
        const int32_t sum = edges[i / std::size(terms)];
        ASSERT_EQ(out[i], saturatedDefinition(sum)) << sum;
        if (sum >= -limit && sum < limit) {
            ASSERT_EQ(scaled[i], sum * 8) << sum;
        }
    }
}

TEST_P(MixKernelLevels, FadesClearTheLowTenBits) {
    const MixKernels& k = mixKernels();
    std::vector<int32_t> gains(a.size()), out(a.size()), ramped(a.size());
    for (size_t i = 0; i < gains.size(); ++i) gains[i] = static_cast<int32_t>(i % 257);  // 0 to unity
    k.fade(a.data(), 256, 1003, out.data());
    k.fadeRamp(b.data(), gains.data(), 1003, ramped.data());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(out[i], static_cast<int32_t>((int64_t{a[i] >> 10} * 4 * 256) & ~int64_t{0x3FF})) << i;
        ASSERT_EQ(ramped[i], static_cast<int32_t>((int64_t{b[i] >> 10} * 4 * gains[i]) & ~int64_t{0x3FF})) << i;
    }
}

TEST_P(MixKernelLevels, StereoFramesSplitAndJoinByTheirUpperHalves) {
    const MixKernels& k = mixKernels();
    std::vector<int16_t> frames(2 * a.size()), joined(2 * a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        frames[2 * i] = static_cast<int16_t>(b[i]);
        frames[2 * i + 1] = static_cast<int16_t>(c[i]);
    }
    std::vector<int32_t> left(a.size()), right(a.size());
    k.splitStereo16(reinterpret_cast<const uint8_t*>(frames.data()), 1003, left.data(), right.data());
    k.joinStereo16(a.data(), b.data(), 1003, joined.data());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(left[i], static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(frames[2 * i])) << 16)) << i;
        ASSERT_EQ(right[i], static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(frames[2 * i + 1])) << 16)) << i;
        ASSERT_EQ(joined[2 * i], static_cast<int16_t>(a[i] >> 16)) << i;
        ASSERT_EQ(joined[2 * i + 1], static_cast<int16_t>(b[i] >> 16)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, MixKernelLevels, ::testing::ValuesIn(levels));

// A sample >> 11 reaches -2^20 and 2^20 - 1: unity is the most one sign of
// gains may add up to, and a negative unity already reaches 2^28.
TEST(MixSums, StayInRangeUpToUnityOfOneSign) {
    const auto inRange = [](std::vector<int32_t> gains) { return mixSumsStayInRange(gains.data(), static_cast<int32_t>(gains.size())); };
    EXPECT_TRUE(inRange({256}));
    EXPECT_TRUE(inRange({204, 52}));
    EXPECT_TRUE(inRange({-255}));
    EXPECT_TRUE(inRange({200, -56}));
    EXPECT_FALSE(inRange({-256}));
    EXPECT_FALSE(inRange({256, 1}));
    EXPECT_FALSE(inRange({200, -57}));
    EXPECT_FALSE(inRange({INT32_MAX, INT32_MAX, INT32_MAX}));
}

}  // namespace
}  // namespace lv::audio
