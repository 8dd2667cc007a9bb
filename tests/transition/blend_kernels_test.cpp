#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "display/cpu_features.h"
#include "display/pack_kernels.h"
#include "transition/blend_kernels.h"

namespace lv {
namespace {

class BlendKernels : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(5);
        for (auto* row : {&outgoing, &incoming}) {
            row->resize(kLength);
            for (auto& p : *row) p = random();  // the fourth byte too: it must not leak
        }
    }
    std::vector<std::uint32_t> blend(BlendRowKernel kernel, std::int32_t count, std::int32_t level, std::int32_t bias) {
        std::vector<std::uint32_t> out(kLength, 0xDEADBEEF);
        kernel(outgoing.data(), incoming.data(), count, level, bias, out.data());
        return out;
    }
    static constexpr std::int32_t kLength = 77;
    std::vector<std::uint32_t> outgoing, incoming;
};

TEST_F(BlendKernels, PlainKernelIsTheRoundedBlend) {
    const auto out = blend(blendRowPlain, kLength, 100, 0);
    for (std::int32_t i = 0; i < kLength; ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t o = (outgoing[i] >> shift) & 0xFF, n = (incoming[i] >> shift) & 0xFF;
            EXPECT_EQ((out[i] >> shift) & 0xFF, (o * 156 + n * 100) >> 8);
        }
        EXPECT_EQ(out[i] >> 24, 0u);
    }
}

TEST_F(BlendKernels, EndLevelsGiveThePicturesThemselves) {
    const auto in = blend(blendRowPlain, kLength, 256, ditherBias(2, 3));
    const auto out = blend(blendRowPlain, kLength, 0, 0);
    for (std::int32_t i = 0; i < kLength; ++i) {
        EXPECT_EQ(in[i], incoming[i] & 0xFFFFFF);
        EXPECT_EQ(out[i], outgoing[i] & 0xFFFFFF);
    }
}

TEST_F(BlendKernels, VectorFormsAreByteIdenticalToThePlainOne) {
    const ProcessorRecord& processor = processorRecord();
    std::vector<std::pair<const char*, BlendRowKernel>> forms;
    if (processor.sse2() && blendRowSse2() != nullptr) forms.emplace_back("SSE2", blendRowSse2());
    if (processor.avx2() && blendRowAvx2() != nullptr) forms.emplace_back("AVX2", blendRowAvx2());
    if (forms.empty()) GTEST_SKIP() << "no vector forms on this processor";
    for (const auto& [name, kernel] : forms) {
        for (std::int32_t count : {0, 1, 3, 4, 7, 8, 9, 15, 16, 17, 31, kLength}) {
            for (std::int32_t level : {0, 1, 127, 128, 200, 255, 256}) {
                for (std::int32_t phase = 0; phase < 3; ++phase) {
                    const std::int32_t bias = ditherBias(phase, 3);
                    ASSERT_EQ(blend(kernel, count, level, bias), blend(blendRowPlain, count, level, bias))
                        << name << " count " << count << " level " << level << " bias " << bias;
                }
            }
        }
    }
}

class BlendRows24 : public BlendKernels {
protected:
    // The 24-bit row with guard bytes after it, so a write past the end shows.
    std::vector<std::uint8_t> blend24(BlendRow24Kernel kernel, std::int32_t count, std::int32_t level, std::int32_t bias) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(kLength) * 3 + 32, 0xA5);
        kernel(outgoing.data(), incoming.data(), count, level, bias, out.data());
        return out;
    }
    // The two-pass reference: blend into a row, then pack it.
    std::vector<std::uint8_t> blendThenPack(std::int32_t count, std::int32_t level, std::int32_t bias) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(kLength) * 3 + 32, 0xA5);
        packRow24Plain(blend(blendRowPlain, count, level, bias).data(), count, out.data());
        return out;
    }
};

TEST_F(BlendRows24, PlainFormIsTheBlendPacked) {
    for (std::int32_t count : {0, 1, 5, kLength}) {
        for (std::int32_t level : {0, 77, 256}) {
            ASSERT_EQ(blend24(blendRow24Plain, count, level, 85), blendThenPack(count, level, 85))
                << "count " << count << " level " << level;
        }
    }
}

TEST_F(BlendRows24, VectorFormsAreByteIdenticalToThePlainOne) {
    const ProcessorRecord& processor = processorRecord();
    std::vector<std::pair<const char*, BlendRow24Kernel>> forms;
    if (processor.sse2() && blendRow24Sse2() != nullptr) forms.emplace_back("SSE2", blendRow24Sse2());
    if (processor.avx2() && blendRow24Avx2() != nullptr) forms.emplace_back("AVX2", blendRow24Avx2());
    if (forms.empty()) GTEST_SKIP() << "no vector forms on this processor";
    for (const auto& [name, kernel] : forms) {
        for (std::int32_t count = 0; count <= kLength; ++count) {
            for (std::int32_t level : {0, 1, 127, 128, 200, 255, 256}) {
                for (std::int32_t phase = 0; phase < 3; ++phase) {
                    const std::int32_t bias = ditherBias(phase, 3);
                    ASSERT_EQ(blend24(kernel, count, level, bias), blend24(blendRow24Plain, count, level, bias))
                        << name << " count " << count << " level " << level << " bias " << bias;
                }
            }
        }
    }
}

TEST(BlendDither, PhasesSpreadTheRounding) {
    EXPECT_EQ(ditherBias(0, 3), 0);
    EXPECT_EQ(ditherBias(1, 3), 85);
    EXPECT_EQ(ditherBias(2, 3), 170);
    EXPECT_EQ(ditherBias(0, 1), 0);
}

}  // namespace
}  // namespace lv
