#include "codec/kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lv::codec {
namespace {

std::vector<SimdLevel> vectorLevels(bool withPlain = false) {
    std::vector<SimdLevel> levels;
    if (withPlain) levels.push_back(SimdLevel::Plain);
    if (detectedSimdLevel() >= SimdLevel::Sse2) levels.push_back(SimdLevel::Sse2);
    if (detectedSimdLevel() >= SimdLevel::Avx2) levels.push_back(SimdLevel::Avx2);
    return levels;
}

class Kernels : public ::testing::Test {
protected:
    std::mt19937 random{12345};
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    // Blocks like real data (small, mostly zero) plus hostile extremes.
    std::vector<std::int16_t> blocks(int count, bool extreme) {
        std::vector<std::int16_t> c(static_cast<std::size_t>(count) * 64, 0);
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (extreme)
                c[i] = static_cast<std::int16_t>(uniform(-32768, 32767));
            else if (i % 64 == 0 || uniform(0, 3) == 0)
                c[i] = static_cast<std::int16_t>(uniform(-60, 60));
        }
        return c;
    }
    std::vector<std::uint8_t> bytes(int count) {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(count));
        for (auto& v : b) v = static_cast<std::uint8_t>(uniform(0, 255));
        return b;
    }
    std::vector<std::uint16_t> quant(bool extreme) {
        std::vector<std::uint16_t> q(64);
        for (auto& v : q) v = static_cast<std::uint16_t>(extreme ? uniform(1, 65535) : uniform(1, 40));
        return q;
    }

    void expectIdctLevelsAgree(const std::vector<std::int16_t>& c, const std::vector<std::uint16_t>& q) {
        const int count = static_cast<int>(c.size() / 64), stride = 8 * count + 3;
        std::vector<std::uint8_t> plain(stride * 8), vector(stride * 8);
        idctBlocksPlain(c.data(), q.data(), count, plain.data(), stride);
        for (SimdLevel level : vectorLevels()) {
            std::fill(vector.begin(), vector.end(), 0);
            idctBlocksFor(level)(c.data(), q.data(), count, vector.data(), stride);
            EXPECT_EQ(plain, vector) << "level " << static_cast<int>(level);
        }
    }
};

// Real and hostile coefficients; then every coefficient in the upper half
// of its range, either sign: the sums the 32-bit lanes meet then pass their
// range now and again.
TEST_F(Kernels, VectorIdctGivesThePlainBytesForRealAndHostileCoefficients) {
    for (int round = 0; round < 100; ++round) expectIdctLevelsAgree(blocks(5, round % 2 == 1), quant(round % 2 == 1));
    for (int round = 0; round < 200; ++round) {
        std::vector<std::int16_t> c(5 * 64);
        for (auto& v : c) v = static_cast<std::int16_t>((uniform(0, 1) != 0 ? 1 : -1) * uniform(16384, 32767));
        expectIdctLevelsAgree(c, std::vector<std::uint16_t>(64, 1));
    }
}

// Every level gives the plain bytes, and half-width chroma gives what the
// full conversion gives with each chroma sample repeated.
TEST_F(Kernels, ColourConversionAtEveryLevelAndWithHalfWidthChroma) {
    for (int width = 1; width < 70; ++width) {
        const int half = (width + 1) / 2;
        const auto y = bytes(width), cb = bytes(width), cr = bytes(width), halfCb = bytes(half), halfCr = bytes(half);
        std::vector<std::uint8_t> repeatedCb(width), repeatedCr(width);
        for (int x = 0; x < width; ++x) repeatedCb[x] = halfCb[x / 2], repeatedCr[x] = halfCr[x / 2];
        std::vector<std::uint8_t> expected(3 * width), expectedHalf(3 * width);
        yccToBgrPlain(y.data(), cb.data(), cr.data(), expected.data(), width);
        yccToBgrPlain(y.data(), repeatedCb.data(), repeatedCr.data(), expectedHalf.data(), width);
        for (SimdLevel level : vectorLevels(true)) {
            SCOPED_TRACE(testing::Message() << "width " << width << " level " << static_cast<int>(level));
            std::vector<std::uint8_t> full(3 * width), halved(3 * width);
            yccToBgrFor(level)(y.data(), cb.data(), cr.data(), full.data(), width);
            yccHalfChromaToBgrFor(level)(y.data(), halfCb.data(), halfCr.data(), halved.data(), width);
            EXPECT_EQ(full, expected);
            EXPECT_EQ(halved, expectedHalf);
        }
    }
}

TEST_F(Kernels, DcOnlyBlockIsFlatAtEverySize) {
    std::vector<std::int16_t> c(64, 0);
    c[0] = 10;  // mean 10 * 8 / 8 = 10 above the level shift
    std::vector<std::uint16_t> q(64, 8);
    std::uint8_t full[64], quarter[4], eighth[1];
    idctBlocksPlain(c.data(), q.data(), 1, full, 8);
    idctBlocksReduced(c.data(), q.data(), 1, quarter, 2, 2, 2);
    idctBlocks1x1(c.data(), q.data(), 1, eighth, 1);
    for (std::uint8_t v : full) EXPECT_EQ(v, 138);
    for (std::uint8_t v : quarter) EXPECT_EQ(v, 138);
    EXPECT_EQ(eighth[0], 138);
}

// Each reduced pixel is the mean of its part of the full inverse DCT, also
// for blocks with every coefficient set and for several blocks in a row.
TEST_F(Kernels, ReducedSizesAreTheMeansOfTheFullBlock) {
    for (const int side : {2, 4}) {
        const int span = 8 / side, count = 3, stride = side * count + 1;
        for (int round = 0; round < 20; ++round) {
            // Small coefficients, so that no pixel is clamped.
            std::vector<std::int16_t> c(64 * count);
            for (auto& v : c) v = static_cast<std::int16_t>(round % 2 == 0 || uniform(0, 4) == 0 ? uniform(-6, 6) : 0);
            const std::vector<std::uint16_t> q(64, 2);
            std::vector<std::uint8_t> full(64 * count), reduced(static_cast<std::size_t>(stride) * side);
            idctBlocksPlain(c.data(), q.data(), count, full.data(), 8 * count);
            idctBlocksReduced(c.data(), q.data(), count, reduced.data(), stride, side, side);
            for (int block = 0; block < count; ++block)
                for (int qy = 0; qy < side; ++qy)
                    for (int qx = 0; qx < side; ++qx) {
                        int sum = 0;
                        for (int y = 0; y < span; ++y)
                            for (int x = 0; x < span; ++x) sum += full[(span * qy + y) * 8 * count + 8 * block + span * qx + x];
                        EXPECT_NEAR(reduced[qy * stride + side * block + qx], sum / double(span * span), 1.0)
                            << "side " << side << " block " << block;
                    }
        }
    }
}

// The half size is the full block box-filtered 2x2 (rounding half up),
// exactly, at every level, for eleven blocks (one batch of eight and a part).
TEST_F(Kernels, HalfSizeIsTheFullBlockBoxFilteredAtEveryLevel) {
    const int count = 11, stride = 4 * count + 3;
    for (const bool extreme : {false, true}) {
        const std::vector<std::int16_t> c = blocks(count, extreme);
        const std::vector<std::uint16_t> q = quant(extreme);
        std::vector<std::uint8_t> full(64 * count);
        idctBlocksPlain(c.data(), q.data(), count, full.data(), 8 * count);
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(stride) * 4, 7);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4 * count; ++x) {
                const std::uint8_t* p = &full[2 * y * 8 * count + 2 * x];
                expected[y * stride + x] = static_cast<std::uint8_t>((p[0] + p[1] + p[8 * count] + p[8 * count + 1] + 2) >> 2);
            }
        for (SimdLevel level : vectorLevels(true)) {
            std::vector<std::uint8_t> actual(expected.size(), 7);
            idctBlocksHalf(idctBlocksFor(level), c.data(), q.data(), count, actual.data(), stride, 4, 4);
            EXPECT_EQ(expected, actual) << "level " << static_cast<int>(level) << (extreme ? " extreme" : "");
        }
    }
}

}  // namespace
}  // namespace lv::codec
