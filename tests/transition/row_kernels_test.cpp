// The row kernels: blends and copies, plain and in vector forms.
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

#include "display/cpu_features.h"
#include "display/pixel_format.h"
#include "transition/blend_kernels.h"
#include "transition/row_copy.h"

namespace lv {
namespace {

// The vector forms of a kernel that this processor runs, by name.
template <typename Kernel>
std::vector<std::pair<const char*, Kernel>> vectorForms(Kernel sse2, Kernel avx2) {
    const ProcessorRecord& processor = processorRecord();
    std::vector<std::pair<const char*, Kernel>> forms;
    if (processor.sse2() && sse2 != nullptr) forms.emplace_back("SSE2", sse2);
    if (processor.avx2() && avx2 != nullptr) forms.emplace_back("AVX2", avx2);
    return forms;
}

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

// Each channel weighted and rounded down after the bias (so the end levels
// give the pictures themselves), and the fourth byte never leaks.
TEST_F(BlendKernels, PlainKernelIsTheRoundedBlend) {
    for (const auto& [level, bias] : {std::pair{100, 0}, {200, 170}, {256, ditherBias(2, 3)}, {0, 0}}) {
        const auto out = blend(blendRowPlain, kLength, level, bias);
        for (std::int32_t i = 0; i < kLength; ++i) {
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t o = (outgoing[i] >> shift) & 0xFF, n = (incoming[i] >> shift) & 0xFF;
                EXPECT_EQ((out[i] >> shift) & 0xFF, (o * (256 - level) + n * level + bias) >> 8) << "level " << level;
            }
            EXPECT_EQ(out[i] >> 24, 0u);
        }
    }
}

TEST_F(BlendKernels, VectorFormsAreByteIdenticalToThePlainOne) {
    const auto forms = vectorForms(blendRowSse2(), blendRowAvx2());
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

// Blending formatted rows byte by byte gives what blending the engine pixels
// (0x00RRGGBB, as surfaces hold them) and storing them in the format gives,
// in every format of 8-bit channels.
class BlendBytesPerFormat : public BlendKernels, public ::testing::WithParamInterface<PixelFormat> {
protected:
    void SetUp() override {
        BlendKernels::SetUp();
        for (auto* row : {&outgoing, &incoming}) {
            for (auto& p : *row) p &= 0xFFFFFF;
        }
    }
    std::vector<std::uint8_t> stored(const std::vector<std::uint32_t>& pixels) {
        std::vector<std::uint8_t> out(pixels.size() * static_cast<std::size_t>(GetParam().bytesPerPixel));
        storePixels(GetParam(), pixels.data(), static_cast<int>(pixels.size()), out.data());
        return out;
    }
};

TEST_P(BlendBytesPerFormat, BlendingStoredRowsIsStoringTheBlend) {
    const auto o = stored(outgoing), n = stored(incoming);
    for (std::int32_t level : {0, 77, 200, 256}) {
        std::vector<std::uint8_t> mixed(o.size());
        blendBytesPlain(o.data(), n.data(), static_cast<std::int32_t>(o.size()), level, 85, mixed.data());
        ASSERT_EQ(mixed, stored(blend(blendRowPlain, kLength, level, 85))) << "level " << level;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, BlendBytesPerFormat,
                         ::testing::Values(PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF),
                                           PixelFormat::fromMasks(24, 0xFF, 0xFF00, 0xFF0000),
                                           PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF),
                                           PixelFormat::fromMasks(32, 0xFF, 0xFF00, 0xFF0000),
                                           PixelFormat::fromMasks(32, 0xFF000000, 0xFF0000, 0xFF00),
                                           PixelFormat::fromMasks(32, 0xFF00, 0xFF0000, 0xFF000000)));

// The vector forms take the bytes before an aligned output with the plain
// kernel; every start of the output within 32 bytes and every length up to
// a few vectors must give the plain bytes and write nothing past the end.
TEST_F(BlendKernels, ByteFormsAreByteIdenticalToThePlainOne) {
    const auto forms = vectorForms(blendBytesSse2(), blendBytesAvx2());
    if (forms.empty()) GTEST_SKIP() << "no vector forms on this processor";
    const auto* o = reinterpret_cast<const std::uint8_t*>(outgoing.data());
    const auto* n = reinterpret_cast<const std::uint8_t*>(incoming.data()) + 1;
    constexpr std::int32_t kBytes = kLength * 4 - 1;
    auto run = [&](BlendBytesKernel kernel, std::int32_t start, std::int32_t count, std::int32_t level, std::int32_t bias) {
        std::vector<std::uint8_t> out(kBytes + 64, 0xA5);
        kernel(o, n, count, level, bias, out.data() + start);
        return out;
    };
    for (const auto& [name, kernel] : forms) {
        for (std::int32_t start = 0; start < 32; ++start) {
            for (std::int32_t count : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, kBytes - 31}) {
                for (std::int32_t level : {0, 1, 128, 255, 256}) {
                    const std::int32_t bias = ditherBias(start % 3, 3);
                    ASSERT_EQ(run(kernel, start, count, level, bias), run(blendBytesPlain, start, count, level, bias))
                        << name << " start " << start << " count " << count << " level " << level;
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

// Every length across the vector sizes, at every start of both rows within
// a cache line: the bytes of memcpy and nothing written past the end.
TEST(RowCopy, VectorFormCopiesExactlyTheBytes) {
    if (!processorRecord().avx2() || rowCopyAvx2() == nullptr) GTEST_SKIP() << "no AVX2 form on this processor";
    std::vector<std::uint8_t> source(512);
    std::iota(source.begin(), source.end(), std::uint8_t{7});
    for (std::size_t from = 0; from < 64; from += 3) {
        for (std::size_t to = 0; to < 64; to += 5) {
            for (std::size_t count : {0, 1, 31, 32, 33, 63, 64, 65, 95, 96, 127, 128, 129, 191, 200, 300}) {
                std::vector<std::uint8_t> plain(512, 0xA5), vector(512, 0xA5);
                rowCopyPlain(plain.data() + to, source.data() + from, count);
                rowCopyAvx2()(vector.data() + to, source.data() + from, count);
                ASSERT_EQ(vector, plain) << "from " << from << " to " << to << " count " << count;
            }
        }
    }
}

}  // namespace
}  // namespace lv
