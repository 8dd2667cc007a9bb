#include "codec/kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lv::codec {
namespace {

std::vector<SimdLevel> vectorLevels() {
    std::vector<SimdLevel> levels;
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
    std::vector<std::uint16_t> quant(bool extreme) {
        std::vector<std::uint16_t> q(64);
        for (auto& v : q) v = static_cast<std::uint16_t>(extreme ? uniform(1, 65535) : uniform(1, 40));
        return q;
    }

    void expectIdctLevelsAgree(bool extreme) {
        const int count = 5, stride = 8 * count + 3;
        const auto c = blocks(count, extreme);
        const auto q = quant(extreme);
        std::vector<std::uint8_t> plain(stride * 8), vector(stride * 8);
        idctBlocksPlain(c.data(), q.data(), count, plain.data(), stride);
        for (SimdLevel level : vectorLevels()) {
            std::fill(vector.begin(), vector.end(), 0);
            idctBlocksFor(level)(c.data(), q.data(), count, vector.data(), stride);
            EXPECT_EQ(plain, vector) << "level " << static_cast<int>(level);
        }
    }
};

TEST_F(Kernels, VectorIdctGivesThePlainBytes) {
    for (int round = 0; round < 50; ++round) expectIdctLevelsAgree(false);
}

TEST_F(Kernels, VectorIdctGivesThePlainBytesForHostileCoefficients) {
    for (int round = 0; round < 50; ++round) expectIdctLevelsAgree(true);
}

TEST_F(Kernels, VectorColourConversionGivesThePlainBytes) {
    for (int width = 1; width < 70; ++width) {
        std::vector<std::uint8_t> y(width), cb(width), cr(width);
        for (int x = 0; x < width; ++x) {
            y[x] = static_cast<std::uint8_t>(uniform(0, 255));
            cb[x] = static_cast<std::uint8_t>(uniform(0, 255));
            cr[x] = static_cast<std::uint8_t>(uniform(0, 255));
        }
        std::vector<std::uint8_t> plain(3 * width), vector(3 * width);
        yccToBgrPlain(y.data(), cb.data(), cr.data(), plain.data(), width);
        for (SimdLevel level : vectorLevels()) {
            std::fill(vector.begin(), vector.end(), 0);
            yccToBgrFor(level)(y.data(), cb.data(), cr.data(), vector.data(), width);
            EXPECT_EQ(plain, vector) << "width " << width << " level " << static_cast<int>(level);
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

TEST_F(Kernels, QuarterSizeIsTheMeanOfEachQuarter) {
    for (int round = 0; round < 20; ++round) {
        // Small coefficients, so that no pixel is clamped.
        std::vector<std::int16_t> c(64);
        for (auto& v : c) v = static_cast<std::int16_t>(uniform(-6, 6));
        const std::vector<std::uint16_t> q(64, 2);
        std::uint8_t full[64], quarter[4];
        idctBlocksPlain(c.data(), q.data(), 1, full, 8);
        idctBlocksReduced(c.data(), q.data(), 1, quarter, 2, 2, 2);
        for (int qy = 0; qy < 2; ++qy)
            for (int qx = 0; qx < 2; ++qx) {
                int sum = 0;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) sum += full[(4 * qy + y) * 8 + 4 * qx + x];
                EXPECT_NEAR(quarter[qy * 2 + qx], sum / 16.0, 1.0);
            }
    }
}

}  // namespace
}  // namespace lv::codec
