#include <gtest/gtest.h>

#include <algorithm>

#include "span_fixture.h"
#include "transition/registry.h"

namespace lv {
namespace {

using test::SpanDriver;

bool onePass(std::string_view name) {
    const SpanFamily* family = findSpanFamily(name);
    return family->passMode == 1 || test::catalogueRow(name).variant == 1;
}

std::vector<std::string> spanNames() {
    std::vector<std::string> names;
    for (const CatalogueRow& row : catalogue()) {
        if (row.kind == Kind::SpanMask && findSpanFamily(row.name) != nullptr) names.emplace_back(row.name);
    }
    return names;
}

// Every span transition through the registry, with and without band timing:
// a one-pass one shows each pixel as outgoing, incoming or black in place, a
// two-pass one blends on the way; both end on the incoming picture.
class EverySpan : public test::SteppedRun, public ::testing::WithParamInterface<std::string> {};

TEST_P(EverySpan, ShowsPixelsInPlaceOrBlendedAndEndsOnTheIncomingPicture) {
    const bool one = onePass(GetParam());
    for (bool band : {false, true}) {
        test::ScopedSpanSettings settings({test::MaskFolderEnvironment::folder(), band, 1.0});
        start(GetParam(), test::fullPattern(26, 17, 1), test::fullPattern(26, 17, 2), one ? 700 : 1500);
        ASSERT_TRUE(test::runToEnd(run));
        int blended = 0;
        for (const auto& frame : screen->frames) {
            for (std::size_t i = 0; i < frame.size(); ++i) {
                const bool inPlace = frame[i] == a->pixels[i] || frame[i] == b->pixels[i];
                ASSERT_TRUE(!one || inPlace || frame[i] == 0) << "pixel " << i << " band " << band;
                blended += !inPlace;
            }
        }
        EXPECT_EQ(last(), b->pixels) << "band " << band;
        if (!one) {
            EXPECT_GT(blended, 0) << "band " << band;
        }
        run.end();
    }
}

INSTANTIATE_TEST_SUITE_P(Spans, EverySpan, ::testing::ValuesIn(spanNames()),
                         [](const auto& info) { return info.param; });

// Repaint ---------------------------------------------------------------------

class SpanRepaint : public ::testing::TestWithParam<std::string> {};

TEST_P(SpanRepaint, ShowsWhatIncrementalPaintingShowed) {
    test::ScopedSpanSettings band({test::MaskFolderEnvironment::folder(), true, 1.0});
    SpanDriver d(GetParam(), 24, 14);
    ASSERT_EQ(d.result, 0);
    const std::int64_t total = totalFrames(d.transition->describe());
    std::int64_t t = 0;
    d.transition->step(0, false);  // the first step only computes
    for (std::int64_t jump : {1, 3, 2, 7, 1, 11, 5}) {
        t = std::min(t + jump * std::max<std::int64_t>(total / 40, 1), total);
        d.transition->step(t, false);
        const std::vector<std::uint32_t> incremental = d.frame();
        d.transition->repaint();
        ASSERT_EQ(d.frame(), incremental) << "frame " << t;
    }
    // After the end a repaint keeps the incoming picture.
    d.transition->step(total, false);
    d.transition->step(total, true);
    ASSERT_EQ(d.frame(), d.b->pixels);
    d.transition->repaint();
    EXPECT_EQ(d.frame(), d.b->pixels);
}

INSTANTIATE_TEST_SUITE_P(Spans, SpanRepaint,
                         ::testing::Values("ssWipeLR2", "ssWipeRL", "ssDissolve2", "ssCircleIn2", "ssPlasma",
                                           "ssRadarCW2", "ssBlinds2", "ssSquares2"),
                         [](const auto& info) { return info.param; });

// Mask runs -------------------------------------------------------------------

TEST(MaskRun, GradientMaskRevealsInGreyOrder) {
    // The environment's masks grow from black on the left to white on the
    // right in bands of 8 columns; at the picture's size they stay bands.
    const int w = 64, h = 8;
    SpanDriver d("ssPlasma", w, h);
    ASSERT_EQ(d.result, 0);
    int previousRevealed = 0;
    for (int t = 1; t <= 256; t += 15) {
        d.show(t);
        // Revealed pixels form a prefix of columns, growing with t.
        int revealed = 0;
        while (revealed < w && d.at(revealed, 3) == d.incoming(revealed, 3)) ++revealed;
        for (int x = revealed; x < w; ++x) ASSERT_EQ(d.at(x, 3), d.outgoing(x, 3)) << "t=" << t << " x=" << x;
        EXPECT_GE(revealed, previousRevealed);
        previousRevealed = revealed;
    }
    EXPECT_EQ(previousRevealed, w);
    // A reversed mask transition reveals the lightest first.
    SpanDriver reverse("ssStarburstIn", w, h);
    ASSERT_EQ(reverse.result, 0);
    reverse.show(30);
    EXPECT_EQ(reverse.at(63, 0), reverse.incoming(63, 0));
    EXPECT_EQ(reverse.at(0, 0), reverse.outgoing(0, 0));
}

TEST(MaskRun, ColourMaskIsReadByItsGreyValues) {
    // Left half red (grey 77), right half blue (grey 29): the blue half goes first.
    test::TempFolder folder;
    BitmapPtr colour = createBitmap("c", 32, 16, 24);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) colour->rows[y][3 * x + (x < 16 ? 2 : 0)] = 255;
    }
    ASSERT_TRUE(test::writeJpeg(folder.file("plasma"), *colour));
    test::ScopedSpanSettings settings({folder.folder(), false, 1.0});
    SpanDriver d("ssPlasma", 32, 16);
    ASSERT_EQ(d.result, 0);
    d.show(50);
    EXPECT_EQ(d.at(24, 8), d.incoming(24, 8));
    EXPECT_EQ(d.at(8, 8), d.outgoing(8, 8));
}

TEST(MaskRun, PuzzleNeedsNoFile) {
    test::ScopedSpanSettings settings({"/nonexistent-lumavine-masks/", false, 1.0});
    SpanDriver d("ssPuzzle", 48, 40);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.transition->describe().defaultMs, 2000);
}

TEST(SpanAspect, EllipsesAndStretchedSweepsStillEndOnTheIncomingPicture) {
    for (double aspect : {0.5, 2.0, 0.0}) {
        test::ScopedSpanSettings settings({test::MaskFolderEnvironment::folder(), false, aspect});
        for (std::string_view name : {"ssCircleOut", "ssCircleBT", "ssCircleLR", "ssCircleRLF", "ssRadarCW", "ssFanTOpen", "ssSquares"}) {
            test::SpanDriver d(name, 23, 15);
            ASSERT_EQ(d.result, 0) << name;
            const std::int64_t total = totalFrames(d.transition->describe());
            d.transition->step(total / 2, false);
            d.transition->step(total, false);
            d.transition->step(total, true);
            EXPECT_EQ(d.frame(), d.b->pixels) << name << " aspect " << aspect;
        }
    }
}

}  // namespace
}  // namespace lv
