#include "render/image_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lv {
namespace {

BitmapPtr grey(int w, int h, std::uint8_t v) {
    BitmapPtr b = createBitmap("g", w, h, 8);
    for (int y = 0; y < h; ++y) std::fill(b->rows[y], b->rows[y] + w, v);
    return b;
}

struct TableCase {
    int bright, contrast, black, white;
    std::uint8_t at0, at64, at128, at200, at255;
};

TEST(Adjust, TablesForKnownInputs) {
    const TableCase cases[] = {
        {100, 0, 0, 0, 0, 93, 154, 213, 254},
        {0, 100, 0, 0, 0, 49, 127, 211, 254},       {0, -100, 0, 0, 100, 113, 127, 142, 154},
        {0, 0, 0, 256, 0, 127, 255, 255, 255},      {0, 0, 50, 0, 50, 101, 152, 210, 254},
    };
    for (const TableCase& c : cases) {
        const auto t = adjustTable(c.bright, c.contrast, c.black, c.white);
        EXPECT_EQ(t[0], c.at0) << c.bright << ' ' << c.contrast << ' ' << c.black << ' ' << c.white;
        EXPECT_EQ(t[64], c.at64);
        EXPECT_EQ(t[128], c.at128);
        EXPECT_EQ(t[200], c.at200);
        EXPECT_EQ(t[255], c.at255);
    }
}

TEST(Adjust, AllZeroLeavesEveryByte) {
    BitmapPtr b = createBitmap("a", 16, 16, 8);
    for (int i = 0; i < 256; ++i) b->rows[i / 16][i % 16] = static_cast<std::uint8_t>(i);
    adjustBitmap(*b, 0, 0, 0, 0);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(b->rows[i / 16][i % 16], i);
}

// A 2x2 picture with distinct pixels: a b / c d.
BitmapPtr quad() {
    BitmapPtr b = createBitmap("q", 2, 2, 8);
    b->rows[0][0] = 'a', b->rows[0][1] = 'b', b->rows[1][0] = 'c', b->rows[1][1] = 'd';
    return b;
}

std::string pixels(const Bitmap& b) {
    std::string s;
    for (int y = 0; y < b.height; ++y) s.append(reinterpret_cast<const char*>(b.rows[y]), b.width), s += '/';
    return s;
}

TEST(FlipRotate, QuarterTurns) {
    BitmapPtr q = quad();
    EXPECT_EQ(pixels(*rotateBitmap(*q, 90)), "ca/db/");   // clockwise
    EXPECT_EQ(pixels(*rotateBitmap(*q, -90)), "bd/ac/");  // counter-clockwise
    EXPECT_EQ(pixels(*rotateBitmap(*q, 270)), "bd/ac/");
    EXPECT_EQ(pixels(*rotateBitmap(*q, 180)), "dc/ba/");
    EXPECT_EQ(pixels(*rotateBitmap(*q, 720)), "ab/cd/");
    EXPECT_FALSE(rotateBitmap(*q, 45));
    EXPECT_EQ(pixels(*flipBitmap(*q, true, false)), "ba/dc/");
    EXPECT_EQ(pixels(*flipBitmap(*q, false, true)), "cd/ab/");
}

TEST(FlipRotate, TwentyFourBitPixelsKeepTheirByteOrder) {
    BitmapPtr b = createBitmap("c", 3, 1, 24);
    for (int i = 0; i < 9; ++i) b->rows[0][i] = static_cast<std::uint8_t>(i);
    BitmapPtr r = rotateBitmap(*b, 90);
    ASSERT_EQ(r->width, 1);
    ASSERT_EQ(r->height, 3);
    EXPECT_EQ(r->rows[2][0], 6);
    EXPECT_EQ(r->rows[2][2], 8);
    BitmapPtr f = flipBitmap(*b, true, false);
    EXPECT_EQ(f->rows[0][0], 6);
    EXPECT_EQ(f->rows[0][2], 8);
}

TEST(Blur, LargeRadiiBlurTwiceWithOneMargin) {
    BitmapPtr b = grey(20, 10, 100);
    BitmapPtr blurred = blurBitmap(*b, 6);
    ASSERT_TRUE(blurred);
    EXPECT_EQ(blurred->width, 24);
    EXPECT_EQ(blurred->height, 14);
}

// One blurred pixel straight from the definition: cone weights over the
// neighbours within radius + 1 that lie inside the (padded) picture.
int blurredByDefinition(const Bitmap& padded, int radius, int x, int y, int channel) {
    const int reach = radius + 1, scale = 50 * reach, bytes = padded.depth / 8;
    long sum = 0, total = 0;
    for (int ny = y - reach; ny <= y + reach; ++ny)
        for (int nx = x - reach; nx <= x + reach; ++nx) {
            if (nx < 0 || ny < 0 || nx >= padded.width || ny >= padded.height) continue;
            const int d = static_cast<int>(std::sqrt(double((nx - x) * (nx - x) + (ny - y) * (ny - y))) * 50);
            const long w = std::max(0, (scale - d) * 255 / scale);
            sum += w * padded.rows[ny][nx * bytes + channel];
            total += w;
        }
    return total ? static_cast<int>(sum / total) : 0;
}

BitmapPtr noise(int w, int h, int depth, unsigned seed) {
    BitmapPtr b = createBitmap("n", w, h, depth);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < b->stride; ++x) b->rows[y][x] = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    return b;
}

TEST(Blur, EveryPixelFollowsTheConeDefinition) {
    for (int depth : {8, 24})
        for (int radius = 1; radius <= 4; ++radius) {
            BitmapPtr source = noise(23 + radius, 17, depth, radius * 31 + depth);
            BitmapPtr padded = padBitmap(*source, radius);
            BitmapPtr blurred = blurBitmap(*source, radius);
            ASSERT_TRUE(blurred);
            ASSERT_EQ(blurred->width, source->width + 2 * radius);
            ASSERT_EQ(blurred->height, source->height + 2 * radius);
            for (int y = 0; y < blurred->height; ++y)
                for (int x = 0; x < blurred->width; ++x)
                    for (int c = 0; c < depth / 8; ++c)
                        ASSERT_EQ(blurred->rows[y][x * (depth / 8) + c], blurredByDefinition(*padded, radius, x, y, c))
                            << "depth " << depth << " radius " << radius << " at " << x << "," << y;
        }
    EXPECT_FALSE(blurBitmap(*noise(4, 4, 8, 1), 0));
}

TEST(Blur, VectorRowKernelMatchesThePlainOne) {
    const AccumulateRow sse2 = accumulateRowSse2();
    if (!sse2) GTEST_SKIP() << "no SSE2 kernel in this build";
    for (int depth : {8, 24})
        for (int radius : {1, 3, 7}) {
            BitmapPtr source = noise(61, 29, depth, radius + depth);
            BitmapPtr plain = blurBitmap(*source, radius, accumulateRowPlain);
            BitmapPtr vector = blurBitmap(*source, radius, sse2);
            ASSERT_EQ(plain->pixelBytes(), vector->pixelBytes());
            EXPECT_EQ(std::memcmp(plain->pixels(), vector->pixels(), plain->pixelBytes()), 0) << depth << ' ' << radius;
        }
}

// One spread pixel straight from the definition: the largest value within
// the plain disc, above 240 counting as full.
int spreadByDefinition(const Bitmap& padded, int radius, int x, int y) {
    int best = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (dx * dx + dy * dy >= radius * (radius + 1) || nx < 0 || ny < 0 || nx >= padded.width ||
                ny >= padded.height)
                continue;
            best = std::max<int>(best, padded.rows[ny][nx]);
        }
    return best > 240 ? 255 : best;
}

TEST(Spread, EveryPixelIsTheLargestWithinTheDisc) {
    for (int radius : {1, 2, 5}) {
        BitmapPtr source = noise(31, 19, 8, radius * 7);
        for (int y = 0; y < source->height; ++y)
            for (int x = 0; x < source->width; ++x) source->rows[y][x] /= 2;  // keep most below 240
        source->rows[9][15] = 250;
        BitmapPtr padded = padBitmap(*source, radius);
        BitmapPtr spread = spreadBitmap(*source, radius, -1, 0);
        ASSERT_TRUE(spread);
        ASSERT_EQ(spread->width, source->width + 2 * radius);
        for (int y = 0; y < spread->height; ++y)
            for (int x = 0; x < spread->width; ++x)
                ASSERT_EQ(spread->rows[y][x], spreadByDefinition(*padded, radius, x, y)) << radius << " at " << x << "," << y;
    }
}

TEST(Spread, VectorRowKernelMatchesThePlainOne) {
    const MaxRow sse2 = maxRowSse2();
    if (!sse2) GTEST_SKIP() << "no SSE2 kernel in this build";
    BitmapPtr source = noise(70, 33, 8, 5);
    for (int angle : {-1, 0, 45, 225}) {
        BitmapPtr plain = spreadBitmap(*source, 4, angle, 0, maxRowPlain);
        BitmapPtr vector = spreadBitmap(*source, 4, angle, 0, sse2);
        EXPECT_EQ(std::memcmp(plain->pixels(), vector->pixels(), plain->pixelBytes()), 0) << angle;
    }
}

TEST(Spread, LargeRadiiGrowByTheWholeRadiusAndColourIsRefused) {
    BitmapPtr s = spreadBitmap(*grey(3, 3, 255), 20, -1, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 43);
    EXPECT_FALSE(spreadBitmap(*createBitmap("c", 2, 2, 24), 2, -1, 0));
}

TEST(Emboss, LightFallsOnTheSideTowardTheAngle) {
    BitmapPtr target = createBitmap("t", 60, 60, 24);
    for (int y = 0; y < 60; ++y) std::fill(target->rows[y], target->rows[y] + target->stride, 128);
    BitmapPtr mask = grey(20, 20, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) mask->rows[y][x] = (x - 10) * (x - 10) + (y - 10) * (y - 10) < 64 ? 255 : 0;
    EmbossLight light;  // 45 degrees: up and to the right
    light.lightOpacity = 255;
    light.shadowOpacity = 255;
    embossBitmap(*target, *mask, 20, 20, light);
    auto at = [&](int x, int y) { return target->rows[y][3 * x + 1]; };
    // The disc's edge toward the upper right is lit, toward the lower left shaded.
    EXPECT_GT(at(36, 23), 128);
    EXPECT_LT(at(23, 36), 128);
    EXPECT_EQ(at(2, 2), 128);  // far away: untouched
}

}  // namespace
}  // namespace lv
