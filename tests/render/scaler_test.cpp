#include "render/scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

namespace lv {
namespace {

// A source image in the scaler's source format: 3 bytes per pixel for kind 3,
// 1 byte (a palette index) for kind 1.
struct Source {
    int width = 0, height = 0, kind = kSourceBgr;
    std::vector<std::uint8_t> bytes;
    int pixelBytes() const { return kind == kSourceBgr ? 3 : 1; }
    const std::uint8_t* row(int y) const { return bytes.data() + static_cast<std::size_t>(y) * width * pixelBytes(); }
};

Source noise(int width, int height, unsigned seed, int kind = kSourceBgr) {
    Source s{width, height, kind, {}};
    std::mt19937 random(seed);
    s.bytes.resize(static_cast<std::size_t>(width) * height * s.pixelBytes() + 1);
    for (auto& b : s.bytes) b = static_cast<std::uint8_t>(random());
    return s;
}

Source flat(int width, int height, std::uint8_t value) {
    Source s{width, height, kSourceBgr, {}};
    s.bytes.assign(static_cast<std::size_t>(width) * height * 3 + 1, value);
    return s;
}

const ProcessorRecord kPlainProcessor = makeProcessorRecord(cpu::kFpu);

class ScalerTest : public ::testing::Test {
protected:
    // Runs a whole job through the row protocol; the output holds
    // destPixelSize bytes per pixel, pre-filled with 0xEE.
    std::vector<std::uint8_t> scale(const Source& source, int destWidth, int destHeight, int horizontal, int vertical,
                                    int destPixelSize = 3, const ProcessorRecord* processor = &kPlainProcessor,
                                    std::optional<SourceRect> rect = {}) {
        ScaleJob job;
        job.sourceWidth = source.width;
        job.sourceHeight = source.height;
        job.destWidth = destWidth;
        job.destHeight = destHeight;
        job.sourceKind = source.kind;
        job.destPixelSize = destPixelSize;
        job.indexOutput = destPixelSize == 1;
        job.channelMasks = {0xF800, 0x07E0, 0x001F};
        job.channelBits = {5, 6, 5};
        job.palette = palette;
        job.rect = rect;
        job.processor = processor;
        std::vector<std::uint8_t> out(static_cast<std::size_t>(destWidth) * destHeight * destPixelSize, 0xEE);
        Scaler scaler(horizontal, vertical);
        started = scaler.start(job);
        if (!started) return out;
        for (int y = 0; y < destHeight; ++y) {
            for (int r : scaler.beginRow(y)) {
                ++deliveries[r];
                scaler.deliverRow(r, source.row(r));
            }
            emitted = scaler.emitRow(out.data() + static_cast<std::size_t>(y) * destWidth * destPixelSize) || emitted;
        }
        return out;
    }

    const Palette* palette = nullptr;
    bool started = false;
    bool emitted = false;
    std::map<int, int> deliveries;
};

std::vector<std::uint8_t> withoutTrailingByte(const Source& s) { return {s.bytes.begin(), s.bytes.end() - 1}; }

TEST_F(ScalerTest, BilinearOneToOneIsExactForColourAndIndexOutput) {
    const Source s = noise(37, 23, 1), indexed = noise(19, 11, 2, kSourceIndexed);
    EXPECT_EQ(scale(s, 37, 23, kScaleBilinear, kScaleBilinear), withoutTrailingByte(s));
    EXPECT_EQ(scale(indexed, 19, 11, kScaleBilinear, kScaleBilinear, 1), withoutTrailingByte(indexed));
}

TEST_F(ScalerTest, OnePixelWideSourceFillsEveryOutputPixel) {
    const Source s = noise(1, 6, 3);
    for (int method : {kScaleBilinear, kScaleCubic, kScaleNearest}) {
        const auto out = scale(s, 9, 6, method, kScaleBilinear);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_TRUE(std::equal(s.row(y), s.row(y) + 3, out.begin() + (y * 9 + x) * 3)) << method << " " << x << "," << y;
    }
}

TEST_F(ScalerTest, FilteredReductionKeepsTheEdgeColour) {
    const Source s = flat(50, 60, 200);
    for (int method = kScaleHermite; method <= kScaleMitchell; ++method)
        for (int size : {1, 7, 24, 50}) {
            const auto out = scale(s, size, std::max(1, size - 3), method, method);
            ASSERT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t v) { return v == 200; }))
                << "method " << method << " size " << size;
        }
}

TEST_F(ScalerTest, FilteredMethodAskedToEnlargeEmitsNothing) {
    const Source s = noise(10, 10, 4);
    const auto out = scale(s, 20, 8, kScaleLanczos3, kScaleBilinear);
    EXPECT_TRUE(started);
    EXPECT_FALSE(emitted);
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t v) { return v == 0xEE; }));
}

TEST_F(ScalerTest, CubicHandsReductionToBell) {
    const Source s = noise(40, 30, 5);
    EXPECT_EQ(scale(s, 17, 11, kScaleCubic, kScaleCubic), scale(s, 17, 11, kScaleBell, kScaleBell));
    EXPECT_NE(scale(s, 47, 31, kScaleCubic, kScaleCubic), scale(s, 47, 31, kScaleBilinear, kScaleBilinear));
}

TEST_F(ScalerTest, MonotonicRowsAreDeliveredOnce) {
    const Source s = noise(12, 100, 6);
    for (auto [vertical, height] : std::vector<std::pair<int, int>>{
             {kScaleBilinear, 77}, {kScaleCubic, 250}, {kScaleNearest, 33}, {kScaleHermite, 31}, {kScaleLanczos3, 60}}) {
        deliveries.clear();
        scale(s, 12, height, kScaleBilinear, vertical);
        for (auto [row, count] : deliveries) ASSERT_EQ(count, 1) << "method " << vertical << " row " << row;
    }
}

TEST_F(ScalerTest, ExtremeReductionDeliversEachRowOnce) {
    const Source s = flat(2, 20000, 90);
    const auto out = scale(s, 1, 1, kScaleLanczos3, kScaleLanczos3);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{90, 90, 90}));
    EXPECT_EQ(deliveries.size(), 20000u);
}

TEST_F(ScalerTest, SourceRectangleWithNearestCrops) {
    const Source s = noise(9, 8, 7);
    const auto out = scale(s, 4, 3, kScaleNearest, kScaleNearest, 3, &kPlainProcessor, SourceRect{2, 1, 6, 4});
    for (int y = 0; y < 3; ++y)
        ASSERT_TRUE(std::equal(s.row(1 + y) + 6, s.row(1 + y) + 18, out.begin() + y * 12)) << y;
}

TEST_F(ScalerTest, IndexedSourceGoesThroughItsPalette) {
    Palette inverse{};
    for (int i = 0; i < 256; ++i) inverse[i] = PaletteEntry{std::uint8_t(255 - i), std::uint8_t(i), 7, 0};
    palette = &inverse;
    const Source s = noise(5, 4, 8, kSourceIndexed);
    const auto out = scale(s, 5, 4, kScaleBilinear, kScaleBilinear, 4);
    for (int i = 0; i < 20; ++i) {
        const std::uint8_t v = s.bytes[i];
        ASSERT_EQ(out[4 * i], 7);
        ASSERT_EQ(out[4 * i + 1], v);
        ASSERT_EQ(out[4 * i + 2], 255 - v);
        ASSERT_EQ(out[4 * i + 3], 0);
    }
}

TEST_F(ScalerTest, SixteenBitFlatGreyShowsTheFixedDitherPattern) {
    const auto out = scale(flat(4, 4, 102), 4, 4, kScaleNearest, kScaleNearest, 2);
    // Grey 102 in 5-6-5 with the red, green and blue 2x2 matrices.
    const std::uint16_t pattern[2][2] = {{13 << 11 | 25 << 5 | 13, 13 << 11 | 26 << 5 | 12},
                                         {12 << 11 | 26 << 5 | 13, 13 << 11 | 25 << 5 | 13}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int at = (y * 4 + x) * 2;
            ASSERT_EQ(out[at] | out[at + 1] << 8, pattern[y & 1][x & 1]) << x << "," << y;
        }
}

TEST_F(ScalerTest, RefusesUnusableJobs) {
    const Source s = noise(4, 4, 9);
    scale(s, 0, 4, kScaleBilinear, kScaleBilinear);
    EXPECT_FALSE(started);
    scale(s, 4, 4, 10, kScaleBilinear);
    EXPECT_FALSE(started);
    scale(s, 4, 4, kScaleBilinear, kScaleBilinear, 1);  // one-byte output of a 24-bit source
    EXPECT_FALSE(started);
    scale(s, 4, 4, kScaleBilinear, kScaleBilinear, 3, &kPlainProcessor, SourceRect{0, 0, 1e300, 4});
    EXPECT_FALSE(started);
}

TEST_F(ScalerTest, EmitFailsForRowsNotDelivered) {
    const Source s = noise(6, 6, 10);
    ScaleJob job;
    job.sourceWidth = job.sourceHeight = 6;
    job.destWidth = job.destHeight = 3;
    Scaler scaler(kScaleBilinear);
    ASSERT_TRUE(scaler.start(job));
    const auto first = scaler.beginRow(0);
    ASSERT_FALSE(first.empty());
    const std::vector<int> listed(first.begin(), first.end());
    std::vector<std::uint8_t> out(9);
    EXPECT_FALSE(scaler.emitRow(out.data()));
    // A row asked for but not delivered is asked for again.
    const auto again = scaler.beginRow(0);
    EXPECT_EQ(std::vector<int>(again.begin(), again.end()), listed);
    EXPECT_FALSE(scaler.deliverRow(5, s.row(5)));
}

// ---- weights ---------------------------------------------------------------

TEST(ScalerWeights, ShortSumGetsOneAddedToTheFirstTaps) {
    const std::vector<double> weights(10, 409.5 / 4096);  // each truncates to 409: sum 4090
    std::vector<std::int16_t> out(10);
    quantiseWeights(weights, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{410, 410, 410, 410, 410, 410, 409, 409, 409, 409}));
}

TEST(ScalerWeights, CorrectionStopsAtThePaddedLength) {
    const std::vector<double> weights(3, 0.2);  // 819 each: 2457, short by 1639
    std::vector<std::int16_t> out(4);
    quantiseWeights(weights, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{820, 820, 820, 1}));
}

TEST(ScalerWeights, CubicBSplineWeights) {
    EXPECT_EQ(cubicWeight(0), 2730);       // 4/6 of 4096, rounded down
    EXPECT_EQ(cubicWeight(4096), 682);     // 1/6
    EXPECT_EQ(cubicWeight(-4096), 682);
    EXPECT_EQ(cubicWeight(8192), 0);
    EXPECT_EQ(cubicWeight(-2048), 1962);   // B(0.5) = 23/48
}

TEST(ScalerWeights, BilinearLastOutputLandsOnTheLastSource) {
    const auto c = buildContributions(kScaleBilinear, ScaleAxis{10, 4, {}, 0});
    ASSERT_TRUE(c);
    EXPECT_EQ(c->first.back(), 8);
    EXPECT_EQ(c->weights[6], 0);   // all weight on pixel 9
    EXPECT_EQ(c->weights[7], 128);
    EXPECT_EQ(c->first[1], 3);     // 1 * 9 / 3 = 3 exactly
    EXPECT_EQ(c->weights[2], 128);
}

TEST(ScalerWeights, FoldingKeepsTheSumAndMovesWindowsInside) {
    auto c = buildContributions(kScaleLanczos3, ScaleAxis{20, 5, {}, 0});
    ASSERT_TRUE(c);
    const auto sumOf = [&c](int i) { return std::accumulate(c->weightsOf(i), c->weightsOf(i) + c->taps, 0); };
    std::vector<int> sums;
    for (int i = 0; i < 5; ++i) sums.push_back(sumOf(i));
    EXPECT_LT(c->first[0], 0);
    foldIntoSource(*c, 20);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sumOf(i), sums[i]);
        EXPECT_GE(c->first[i], 0);
        for (int k = std::max(0, 20 - c->first[i]); k < c->taps; ++k)
            EXPECT_EQ(c->weightsOf(i)[k], 0) << "output " << i << " tap " << k;
    }
}

// ---- vector kernels --------------------------------------------------------

class ScalerKernelsAgree : public ScalerTest {
protected:
    void SetUp() override {
        const ProcessorRecord& here = processorRecord();
        if (here.sse2()) candidates.push_back(makeProcessorRecord(here.features));  // SSE2 only
        if (here.avx2()) candidates.push_back(here);
        if (candidates.empty()) GTEST_SKIP() << "no vector kernels on this processor";
    }
    void expectSame(const Source& s, int w, int h, int hm, int vm, int size, std::optional<SourceRect> rect = {}) {
        const auto plain = scale(s, w, h, hm, vm, size, &kPlainProcessor, rect);
        for (const ProcessorRecord& p : candidates) {
            ASSERT_EQ(scale(s, w, h, hm, vm, size, &p, rect), plain)
                << chooseScalerKernels(p).name << " " << s.width << "x" << s.height << " -> " << w << "x" << h
                << " methods " << hm << "," << vm << " size " << size;
        }
    }
    std::vector<ProcessorRecord> candidates;
};

TEST_F(ScalerKernelsAgree, AllMethodsManySizes) {
    const int sizes[][2] = {{1, 1}, {2, 3}, {5, 4}, {7, 9}, {13, 6}, {16, 16}, {33, 17}, {64, 21}};
    for (auto [sw, sh] : sizes) {
        const Source s = noise(sw, sh, static_cast<unsigned>(sw * 100 + sh));
        for (auto [dw, dh] : sizes)
            for (int hm = 0; hm < kScaleMethodCount; ++hm)
                expectSame(s, dw, dh, hm, (hm + dw) % kScaleMethodCount, 3);
    }
}

TEST_F(ScalerKernelsAgree, EveryDestinationSizeAndRectangles) {
    const Source s = noise(71, 29, 11, kSourceIndexed);
    for (int size = 1; size <= 4; ++size)
        for (int m = 0; m < kScaleMethodCount; ++m) {
            expectSame(s, 37, 13, m, m, size);
            expectSame(s, 150, 40, m, m, size);
            expectSame(s, 40, 20, m, 9 - m, size, SourceRect{3.25, 2.5, 60.75, 27});
        }
}

TEST_F(ScalerKernelsAgree, RectanglesReachingOutsideTheSource) {
    const Source s = noise(20, 15, 13);
    std::mt19937 random(14);
    std::uniform_real_distribution<double> edge(-40, 70);
    for (int i = 0; i < 300; ++i) {
        const SourceRect r{edge(random), edge(random), edge(random), edge(random)};
        const int m = i % kScaleMethodCount;
        expectSame(s, 1 + i % 23, 1 + i % 17, m, (m + i / 10) % kScaleMethodCount, 1 + i % 3 + 1, r);
    }
}

TEST_F(ScalerKernelsAgree, WideRowsWithNegativeLobes) {
    const Source s = noise(1000, 40, 12);
    for (int m : {kScaleLanczos3, kScaleMitchell, kScaleCubic, kScaleBilinear}) {
        expectSame(s, 333, 17, m, m, 4);
        expectSame(s, 1000, 40, m, m, 3);
    }
    expectSame(s, 1999, 80, kScaleCubic, kScaleBilinear, 3);
}

}  // namespace
}  // namespace lv
