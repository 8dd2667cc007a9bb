#include <gtest/gtest.h>

#include <algorithm>

#include "span_fixture.h"
#include "transition/registry.h"

namespace lv {
namespace {

using test::SpanDriver;

std::vector<std::string> namesWithPasses(bool onePass) {
    std::vector<std::string> names;
    for (const CatalogueRow& row : catalogue()) {
        if (row.kind != Kind::SpanMask) continue;
        const SpanFamily* family = findSpanFamily(row.name);
        if (family == nullptr) continue;
        const bool one = family->passMode == 1 || row.variant == 1;
        if (one == onePass) names.emplace_back(row.name);
    }
    return names;
}

// A stepped run through the registry, as the player runs it.
class SpanRun : public ::testing::TestWithParam<std::string> {
protected:
    void run(std::int32_t w, std::int32_t h, std::int32_t durationMs) {
        a = test::fullPattern(w, h, 1);
        b = test::fullPattern(w, h, 2);
        screen = std::make_unique<test::RecordingDisplay>(w, h);
        paintIncoming(*a, screen->display);
        screen->frames.clear();
        RunOptions options;
        options.refreshHz = 60;
        options.now = [] { return 0.0; };
        TransitionRun transitionRun;
        ASSERT_EQ(transitionRun.start(registry, *a, *b, screen->display, registry.findName(GetParam()), durationMs, options), 0);
        ASSERT_EQ(registry.entryName(transitionRun.entry()), GetParam());
        ASSERT_TRUE(test::runToEnd(transitionRun));
    }
    Registry registry = test::fullRegistry();
    SurfacePtr a, b;
    std::unique_ptr<test::RecordingDisplay> screen;
};

class OnePassSpanRun : public SpanRun {};

TEST_P(OnePassSpanRun, EveryPixelIsOutgoingIncomingOrBlackInPlace) {
    for (bool band : {false, true}) {
        test::ScopedSpanSettings settings({test::MaskFolderEnvironment::folder(), band, 1.0});
        run(26, 17, 700);
        for (const auto& frame : screen->frames) {
            for (std::size_t i = 0; i < frame.size(); ++i) {
                ASSERT_TRUE(frame[i] == a->pixels[i] || frame[i] == b->pixels[i] || frame[i] == 0)
                    << "pixel " << i << " band " << band;
            }
        }
        EXPECT_EQ(screen->frames.back(), b->pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(Spans, OnePassSpanRun, ::testing::ValuesIn(namesWithPasses(true)),
                         [](const auto& info) { return info.param; });

class TwoPassSpanRun : public SpanRun {};

TEST_P(TwoPassSpanRun, BlendsOnTheWayAndEndsOnTheIncomingPicture) {
    run(26, 17, 1500);
    EXPECT_EQ(screen->frames.back(), b->pixels);
    int blended = 0;
    for (const auto& frame : screen->frames) {
        for (std::size_t i = 0; i < frame.size(); ++i) blended += frame[i] != a->pixels[i] && frame[i] != b->pixels[i];
    }
    EXPECT_GT(blended, 0);
}

INSTANTIATE_TEST_SUITE_P(Spans, TwoPassSpanRun, ::testing::ValuesIn(namesWithPasses(false)),
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
}

INSTANTIATE_TEST_SUITE_P(Spans, SpanRepaint,
                         ::testing::Values("ssWipeLR2", "ssWipeRL", "ssDissolve2", "ssCircleIn2", "ssPlasma",
                                           "ssRadarCW2", "ssBlinds2", "ssSquares2"),
                         [](const auto& info) { return info.param; });

TEST(SpanRepaintAfterEnd, KeepsTheIncomingPicture) {
    SpanDriver d("ssCircleOut", 21, 13);
    d.transition->step(totalFrames(d.transition->describe()), false);
    d.transition->step(totalFrames(d.transition->describe()), true);
    ASSERT_EQ(d.frame(), d.b->pixels);
    d.transition->repaint();
    EXPECT_EQ(d.frame(), d.b->pixels);
}

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
}

TEST(MaskRun, ReverseRevealsTheLightestFirst) {
    SpanDriver d("ssStarburstIn", 64, 8);
    ASSERT_EQ(d.result, 0);
    d.show(30);
    EXPECT_EQ(d.at(63, 0), d.incoming(63, 0));
    EXPECT_EQ(d.at(0, 0), d.outgoing(0, 0));
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

}  // namespace
}  // namespace lv

namespace lv {
namespace {

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
