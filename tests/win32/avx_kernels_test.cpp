// The Windows build runs its AVX kernels: the assembler's unaligned vector
// moves make them safe with MinGW's 16-byte stack, so on a processor with
// AVX2 every chooser must pick them, and they must give the plain kernels'
// results when called from frames at either stack alignment.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "audio/fir_kernel.h"
#include "audio/kernel_choice.h"
#include "audio/mix_kernels.h"
#include "codec/kernels.h"
#include "codec/simd.h"
#include "display/cpu_features.h"
#include "render/scaler_kernels.h"
#include "transition/blend_kernels.h"
#include "transition/row_copy.h"

namespace lv {
namespace {

class AvxKernels : public ::testing::Test {
protected:
    void SetUp() override {
        if (!processorRecord().avx2()) GTEST_SKIP() << "the processor has no AVX2";
    }
};

TEST_F(AvxKernels, EveryChooserTakesTheAvxForm) {
    EXPECT_EQ(audio::processorKernelLevel(), audio::KernelLevel::avx);
    EXPECT_EQ(codec::detectedSimdLevel(), codec::SimdLevel::Avx2);
    EXPECT_STREQ(chooseScalerKernels(processorRecord()).name, "AVX2");
    EXPECT_EQ(blendKernel(processorRecord()), blendRowAvx2());
    EXPECT_EQ(blendBytesKernel(processorRecord()), blendBytesAvx2());
    EXPECT_EQ(rowCopy(processorRecord()), rowCopyAvx2());
}

// Runs `work` with the stack moved by `shift` bytes, so that spills of
// 32-byte values land on 16-byte (not 32-byte) boundaries half the time.
template <typename Work>
void withStackShift(int shift, Work work) {
    volatile char* pad = static_cast<volatile char*>(__builtin_alloca(static_cast<std::size_t>(shift) + 1));
    pad[0] = 0;
    work();
}

TEST_F(AvxKernels, CrossFadeRowsMatchThePlainKernel) {
    std::mt19937 random(9);
    std::vector<std::uint32_t> a(1001), b(1001);
    for (auto& p : a) p = random();
    for (auto& p : b) p = random();
    for (int shift : {0, 8, 16, 24}) {
        withStackShift(shift, [&] {
            for (std::int32_t level : {0, 77, 128, 256}) {
                std::vector<std::uint32_t> plain(1001), avx(1001);
                blendRowPlain(a.data() + 1, b.data() + 1, 999, level, 85, plain.data());
                blendRowAvx2()(a.data() + 1, b.data() + 1, 999, level, 85, avx.data());
                ASSERT_EQ(plain, avx) << "level " << level << " shift " << shift;
                // The formatted rows' blend, its streaming stores from an odd start.
                std::vector<std::uint8_t> plainBytes(4001), avxBytes(4001);
                const auto* o = reinterpret_cast<const std::uint8_t*>(a.data());
                const auto* n = reinterpret_cast<const std::uint8_t*>(b.data());
                blendBytesPlain(o + 3, n + 1, 3997, level, 170, plainBytes.data() + 1);
                blendBytesAvx2()(o + 3, n + 1, 3997, level, 170, avxBytes.data() + 1);
                ASSERT_EQ(plainBytes, avxBytes) << "level " << level << " shift " << shift;
            }
        });
    }
}

// The row copy's long rows keep vectors across their loop of aligned stores.
TEST_F(AvxKernels, RowCopyMatchesMemcpy) {
    std::vector<std::uint8_t> source(800);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (int shift : {0, 16}) {
        withStackShift(shift, [&] {
            for (std::size_t to = 0; to < 64; to += 9) {
                for (std::size_t count : {128, 200, 480, 640}) {
                    std::vector<std::uint8_t> plain(800, 0xA5), avx(800, 0xA5);
                    rowCopyPlain(plain.data() + to, source.data() + 5, count);
                    rowCopyAvx2()(avx.data() + to, source.data() + 5, count);
                    ASSERT_EQ(plain, avx) << "to " << to << " count " << count << " shift " << shift;
                }
            }
        });
    }
}

TEST_F(AvxKernels, CodecInverseDctMatchesThePlainKernel) {
    std::mt19937 random(4);
    std::vector<std::int16_t> coefs(64 * 8);
    for (auto& c : coefs) c = static_cast<std::int16_t>(static_cast<int>(random() % 64) - 32);
    std::vector<std::uint16_t> quant(64, 3);
    for (int shift : {0, 16}) {
        withStackShift(shift, [&] {
            std::vector<std::uint8_t> plain(64 * 8 * 8), avx(plain.size());
            codec::idctBlocksFor(codec::SimdLevel::Plain)(coefs.data(), quant.data(), 8, plain.data(), 64);
            codec::idctBlocksFor(codec::SimdLevel::Avx2)(coefs.data(), quant.data(), 8, avx.data(), 64);
            EXPECT_EQ(plain, avx) << "shift " << shift;
        });
    }
}

TEST_F(AvxKernels, AudioFilterAndMixLoopsMatchThePlainKernels) {
    std::mt19937 random(5);
    std::vector<std::int16_t> taps(333), x(333);
    for (auto& v : taps) v = static_cast<std::int16_t>(random());
    for (auto& v : x) v = static_cast<std::int16_t>(random());
    std::vector<std::int32_t> samples(1001), gains(1001);
    for (auto& v : samples) v = static_cast<std::int32_t>(random());
    for (auto& v : gains) v = static_cast<std::int32_t>(random() % 257);
    // Each level's results: the inner products of every length, then the
    // Mixer's sums and the fader's products.
    auto results = [&](audio::KernelLevel level) {
        audio::limitFirKernels(level);
        audio::limitMixKernels(level);
        std::vector<std::int32_t> r;
        for (int count = 0; count <= 333; count += 7) r.push_back(audio::roundedDotProduct(taps.data(), x.data(), count));
        std::vector<std::int32_t> sums(1001), out(1001);
        const audio::MixKernels& k = audio::mixKernels();
        k.sumFirst(samples.data() + 1, 1500, 1000, sums.data());
        k.sumLast(samples.data(), -547, 1000, sums.data(), out.data());
        r.insert(r.end(), out.begin(), out.end());
        k.fadeRamp(samples.data(), gains.data(), 1001, out.data());
        r.insert(r.end(), out.begin(), out.end());
        return r;
    };
    for (int shift : {0, 16}) {
        withStackShift(shift, [&] {
            const auto plain = results(audio::KernelLevel::plain);
            EXPECT_EQ(plain, results(audio::KernelLevel::avx)) << "shift " << shift;
        });
    }
    audio::limitFirKernels(audio::KernelLevel::avx);
    audio::limitMixKernels(audio::KernelLevel::avx);
}

TEST_F(AvxKernels, SplitFilterSumsMatchThePlainKernel) {
    // Two phases of 64 taps in the split form, with a peak, stepped over
    // random samples as the Resample steps them from 22050 to 44100: one
    // by one, and 16 positions at a time through the columns.
    std::mt19937 random(6);
    std::vector<std::int16_t> taps(128), fine(128), coarse(128), x(700);
    for (auto& v : taps) v = static_cast<std::int16_t>(static_cast<int>(random() % 1001) - 500);
    taps[31] = 32767;
    taps[64 + 31] = taps[64 + 32] = 22866;
    for (auto& v : x) v = static_cast<std::int16_t>(random());
    const audio::SplitForm form = audio::splitPhases(taps.data(), 2, 64, fine.data(), coarse.data());
    ASSERT_TRUE(form.fits);
    ASSERT_EQ(form.coarseEnd, 3);
    const audio::SplitWeights split{fine.data(), coarse.data(), form.coarseBegin, form.coarseEnd};
    audio::FirSteps steps{taps.data(), split, 32, 64, 14, 40, 16384, 16384};
    const auto columns = audio::firColumns(steps);
    ASSERT_TRUE(columns);
    auto sums = [&](audio::KernelLevel level, const audio::FirColumns* c) {
        audio::limitFirKernels(level);
        steps.columns = c;
        std::vector<std::int32_t> r(101);
        audio::roundedDotSteps(steps, x.data(), 101, r.data());
        return r;
    };
    for (int shift : {0, 16}) {
        withStackShift(shift, [&] {
            const auto plain = sums(audio::KernelLevel::plain, nullptr);
            EXPECT_EQ(plain, sums(audio::KernelLevel::avx, nullptr)) << shift;
            EXPECT_EQ(plain, sums(audio::KernelLevel::avx, columns.get())) << shift;
        });
    }
    audio::limitFirKernels(audio::KernelLevel::avx);
}

}  // namespace
}  // namespace lv
