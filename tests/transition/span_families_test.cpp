#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "span_fixture.h"
#include "transition/mask_picture.h"
#include "transition/registry.h"
#include "transition/span_builders.h"

namespace lv {
namespace {

using test::SpanDriver;

// The mask transitions find their masks in every test of this binary.
[[maybe_unused]] ::testing::Environment* const kMasks =
    ::testing::AddGlobalTestEnvironment(new test::MaskFolderEnvironment);

using test::pixelsOf;
using test::Spots;
using test::spotsOf;

// Which pixels a wipe shows incoming once frame t is shown, at several t.
TEST(SpanFamilies, WipesRevealThePixelsTheirSlotsReached) {
    using Rule = bool (*)(int x, int y, int t, int w, int h);
    const struct {
        const char* name;
        int width, height;
        std::vector<int> times;
        Rule incoming;
    } cases[] = {
        {"ssWipeLR", 20, 3, {3, 7, 19}, [](int x, int, int t, int, int) { return x < t; }},
        {"ssWipeRL", 12, 5, {1, 6}, [](int x, int, int t, int w, int) { return x >= w - t; }},
        // In turn the top half of a column from the left, the bottom half of one from the right.
        {"ssDoubleWipeLRRL", 10, 6, {2, 7},
         [](int x, int y, int t, int w, int h) { return y < h / 2 ? 2 * x < t : 2 * (w - 1 - x) + 1 < t; }},
    };
    for (const auto& c : cases) {
        SpanDriver d(c.name, c.width, c.height);
        for (int t : c.times) {
            d.show(t);
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    EXPECT_EQ(d.at(x, y), c.incoming(x, y, t, c.width, c.height) ? d.incoming(x, y) : d.outgoing(x, y))
                        << c.name << " t=" << t << " x=" << x << " y=" << y;
                }
            }
        }
    }
}

TEST(SpanFamilies, TwoPassWipeBlendsAtTheSlotLevel) {
    const int w = 16, h = 2;
    SpanDriver d("ssWipeLR2", w, h);
    d.show(10);
    for (int x = 0; x < w; ++x) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int o = (d.outgoing(x, 0) >> shift) & 0xFF, n = (d.incoming(x, 0) >> shift) & 0xFF;
            const int level = x < 10 ? x * 256 / w : 0;
            const int shown = (d.at(x, 0) >> shift) & 0xFF;
            EXPECT_LE(std::abs(shown - (o * (256 - level) + n * level) / 256), 1) << "x=" << x;
        }
    }
    // The second pass runs backwards (alternate): slot 16 makes column 15 whole.
    d.show(17);
    EXPECT_EQ(d.at(15, 0), d.incoming(15, 0));
    EXPECT_NE(d.at(14, 0), d.incoming(14, 0));
}

TEST(SpanFamilies, BandTimingLeadsWithBlack) {
    test::ScopedSpanSettings band({test::MaskFolderEnvironment::folder(), true, 1.0});
    SpanDriver d("ssWipeLR", 8, 2);
    d.show(2);
    EXPECT_EQ(d.at(0, 0), 0u);
    EXPECT_EQ(d.at(1, 0), 0u);
    EXPECT_EQ(d.at(2, 0), d.outgoing(2, 0));
    d.show(4);
    EXPECT_EQ(d.at(0, 0), d.incoming(0, 0));
    EXPECT_EQ(d.at(1, 0), d.incoming(1, 0));
    EXPECT_EQ(d.at(2, 0), 0u);
    EXPECT_EQ(d.at(3, 0), 0u);
}

TEST(SpanFamilies, DissolveOnSixteenBySixteenPutsOnePixelInEachSet) {
    SpanDriver d("ssDissolve", 16, 16);
    ASSERT_EQ(d.span().sets().size(), 256u);
    std::set<std::pair<int, int>> all;
    for (const PixelSet& set : d.span().sets()) {
        ASSERT_EQ(set.pixels.size(), 1u);
        all.insert(spotsOf(set)[0]);
    }
    EXPECT_EQ(all.size(), 256u);
    EXPECT_EQ(spotsOf(d.span().sets()[255])[0], std::make_pair(0, 0));  // the register never names 0
}

TEST(SpanFamilies, DissolveRevealsItsShareOfPixelsPerStep) {
    const int w = 32, h = 24;  // 768 pixels: 3 per set
    SpanDriver d("ssDissolve", w, h);
    for (int t : {1, 5, 100, 255}) {
        d.show(t);
        int revealed = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) revealed += d.at(x, y) == d.incoming(x, y);
        }
        EXPECT_EQ(revealed, 3 * t) << t;
    }
}

// The register steps the state polynomial S(y) to S(y) / y modulo
// q(y) = y T(y) + 1 (T the taps), so its period is the order of y modulo q.
// That order is 2^n - 1 exactly when y^(2^n - 1) = 1 and y^((2^n - 1) / p)
// is not 1 for any prime p dividing 2^n - 1.
std::uint64_t mulMod(std::uint64_t a, std::uint64_t b, std::uint64_t q, std::int32_t n) {
    std::uint64_t product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1) product ^= a;
        a <<= 1;
        if ((a >> n) & 1) a ^= q;
    }
    return product;
}

std::uint64_t powerOfY(std::uint64_t e, std::uint64_t q, std::int32_t n) {
    std::uint64_t result = 1, base = 2;
    for (; e != 0; e >>= 1) {
        if (e & 1) result = mulMod(result, base, q, n);
        base = mulMod(base, base, q, n);
    }
    return result;
}

bool registerHasFullPeriod(std::int32_t width) {
    const std::uint64_t q = (std::uint64_t{spans::dissolveTaps(width)} << 1) | 1;
    const std::uint64_t period = (std::uint64_t{1} << width) - 1;
    if (q >> width != 1 || powerOfY(period, q, width) != 1) return false;
    std::uint64_t rest = period;
    for (std::uint64_t p = 2; p * p <= rest || rest > 1; ++p) {
        if (p * p > rest) p = rest;  // what is left is prime
        if (rest % p != 0) continue;
        if (powerOfY(period / p, q, width) == 1) return false;
        while (rest % p == 0) rest /= p;
    }
    return true;
}

TEST(SpanFamilies, ShiftRegistersUpToThirtyTwoBitsHaveFullPeriod) {
    // Two full sides of 65535 need 32 bits; walking 2^32 states is too slow
    // for a test, the order of y is not.
    for (int width = 2; width <= 32; ++width) EXPECT_TRUE(registerHasFullPeriod(width)) << width;
}

// That a family's sets cover the picture at sizes that once went wrong, or
// how many sets (lines) it builds.
TEST(SpanFamilies, SetsCoverThePictureAtAwkwardSizes) {
    const struct {
        const char* name;
        int width, height;
        double aspect;
        std::size_t sets;  // 0: check the pixels instead
    } cases[] = {
        {"ssDissolve", 300, 3, 1.0, 0},  // a register of 9 + 1 bits; odd sizes leave many values outside
        {"ssSineTB", 7, 9, 1.0, 0},      // window width / 30 is 0
        {"ssSquares", 9, 5, 0.01, 0},    // a flat pixel aspect still has rows
        {"ssRadarCW", 10, 6, 1.0, 2 * (10 + 6) - 3},  // a line per border pixel
        {"ssDRadarCW", 10, 6, 1.0, 10 + 6 - 2},
        {"ssDRadarCW", 11, 6, 1.0, 11 + 6 - 1},
        {"ssFanBClose", 10, 6, 1.0, 2 * (5 + 6) - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.width << "x" << c.height);
        test::ScopedSpanSettings aspect({test::MaskFolderEnvironment::folder(), false, c.aspect});
        SpanDriver d(c.name, c.width, c.height);
        ASSERT_EQ(d.result, 0);
        if (c.sets != 0) {
            EXPECT_EQ(d.span().sets().size(), c.sets);
        } else {
            EXPECT_EQ(pixelsOf(d.span().sets()), c.width * c.height);
        }
    }
    // A wipe has one step per column and two extra.
    SpanDriver wipe("ssWipeLR", 640, 4);
    EXPECT_EQ(wipe.transition->describe().steps, 640);
    EXPECT_EQ(totalFrames(wipe.transition->describe()), 642);
}

TEST(SpanFamilies, RadarFrameMapTurnsEvenly) {
    SpanDriver d("ssRadarCW", 40, 10);
    const std::int64_t n = static_cast<std::int64_t>(d.span().sets().size());
    EXPECT_EQ(d.transition->mapFrame(0).value(), 0);
    std::int64_t previous = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t mapped = d.transition->mapFrame(i).value();
        EXPECT_GE(mapped, previous);
        EXPECT_LT(mapped, n);
        previous = mapped;
    }
    // A quarter of the frames reaches the right edge's middle (a quarter turn),
    // though the top edge holds more than a quarter of the lines.
    const std::int64_t quarter = d.transition->mapFrame(n / 4).value();
    EXPECT_NEAR(static_cast<double>(quarter), 20 + 5, 2);
    EXPECT_EQ(d.transition->mapFrame(n + 3).value(), n + d.transition->mapFrame(3).value());
}

TEST(SpanFamilies, CircleOutIntTakesEveryRingOnce) {
    SpanDriver in("ssCircleOutInt", 30, 20), out("ssCircleOut", 30, 20);
    EXPECT_EQ(in.span().sets().size(), out.span().sets().size());
    EXPECT_EQ(pixelsOf(in.span().sets()), pixelsOf(out.span().sets()));
}

// Mask pictures -------------------------------------------------------------

// Grey values name the sets; a pixel an earlier set claimed is left out, of its row's count too.
TEST(MaskSets, GreyValuesNameTheSetsWithoutClaimedPixels) {
    auto a = test::fullPattern(3, 2, 1), b = test::fullPattern(3, 2, 2);
    const std::vector<std::uint8_t> grey = {0, 200, 0, 9, 9, 255};
    ClaimMap claims(3, 2);
    claims.claim(1, 1);
    const std::vector<PixelSet> sets = spans::setsByGreyValue(SetSource{a.get(), b.get()}, grey, claims);
    EXPECT_EQ(spotsOf(sets[0]), (Spots{{0, 0}, {2, 0}}));
    EXPECT_EQ(spotsOf(sets[9]), (Spots{{0, 1}}));
    EXPECT_EQ(sets[9].rowCounts, (std::vector<std::uint16_t>{0, 1}));
    EXPECT_EQ(spotsOf(sets[200]), (Spots{{1, 0}}));
    EXPECT_EQ(spotsOf(sets[255]), (Spots{{2, 1}}));
}

TEST(MaskPicture, NameWithoutBackslashIsUsedWhole) {
    EXPECT_EQ(maskFileName("[h]images\\plasma"), "plasma");
    EXPECT_EQ(maskFileName("plasma"), "plasma");
    EXPECT_EQ(maskFileName("a\\b\\c"), "c");
}

TEST(MaskPicture, ColourIsTurnedToGreyByLuminance) {
    BitmapPtr colour = createBitmap("c", 2, 1, 24);
    colour->rows[0][2] = 255;  // red
    colour->rows[0][3] = 255;  // blue
    BitmapPtr grey = greyBitmap(*colour);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->depth, 8);
    EXPECT_EQ(grey->rows[0][0], 77);
    EXPECT_EQ(grey->rows[0][1], 29);
    BitmapPtr indexed = createBitmap("i", 1, 1, 8);
    indexed->palette[0] = PaletteEntry{0, 255, 0, 0};  // index 0 is green
    EXPECT_EQ(greyBitmap(*indexed)->rows[0][0], 149);  // (255 x 150 + 128) / 256
}

TEST(MaskPicture, PuzzleIsSixteenBySixteenInterlockingPieces) {
    BitmapPtr puzzle = puzzleMask();
    ASSERT_TRUE(puzzle);
    EXPECT_EQ(puzzle->width, 960);
    EXPECT_EQ(puzzle->height, 800);
    std::set<int> values;
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) values.insert(puzzle->rows[r * 50 + 2][c * 60 + 2]);
    }
    EXPECT_EQ(values.size(), 256u);
    // Tile (0, 0) pushes a knob into (1, 0): the middle row just past the edge is its value.
    EXPECT_EQ(puzzle->rows[25][61], puzzle->rows[2][2]);
    EXPECT_NE(puzzle->rows[25][61], puzzle->rows[2][62]);
    // Tile (1, 0) pushes its knob down into (1, 1).
    EXPECT_EQ(puzzle->rows[55][90], puzzle->rows[2][62]);
    EXPECT_NE(puzzle->rows[55][90], puzzle->rows[52][62]);
}

TEST(MaskPicture, MissingFileOrFolderCannotBeHad) {
    std::vector<std::uint8_t> grey;
    EXPECT_EQ(loadMaskPicture("[h]images\\nothing", test::MaskFolderEnvironment::folder(), 0, 8, 8, grey), 2);
    test::TempFolder folder;
    folder.write("broken", "not a JPEG at all");
    EXPECT_EQ(loadMaskPicture("broken", folder.folder(), 0, 8, 8, grey), 2);
    EXPECT_EQ(loadMaskPicture("plasma", test::MaskFolderEnvironment::folder(), 45, 8, 8, grey), 2);
    EXPECT_EQ(loadMaskPicture("plasma", test::MaskFolderEnvironment::folder(), 90, 8, 8, grey), 0);
}

TEST(MaskPicture, BrokenMaskMarksTheEntryAndFallsBack) {
    test::ScopedSpanSettings missing({"/nonexistent-lumavine-masks/", false, 1.0});
    Registry registry = test::fullRegistry();
    auto a = test::fullPattern(8, 8, 1), b = test::fullPattern(8, 8, 2);
    test::RecordingDisplay screen(8, 8);
    TransitionRun run;
    const int plasma = registry.findName("ssPlasma");
    ASSERT_EQ(run.start(registry, *a, *b, screen.display, plasma, -1, RunOptions{}), 0);
    EXPECT_EQ(registry.entryName(run.entry()), "ssBlend");
    EXPECT_TRUE(registry.entries()[plasma].broken);
}

}  // namespace
}  // namespace lv
