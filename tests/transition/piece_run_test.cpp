// Piece transitions run frame by frame on a memory display: every recipe's
// frames, painted incrementally, equal the same frames drawn whole; they
// hold only pixels of A or B or black; they end on B without the final
// step's help; seeded runs replay; odd and tiny sizes and odd durations.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "piece_fixture.h"
#include "transition/piece_kind.h"
#include "transition/piece_layout.h"
#include "transition/registry.h"
#include "transition/run.h"

namespace lv::test {
namespace {

struct Size {
    std::int32_t windowWidth, windowHeight;
    Rect a, b;
};

// The frame of time t painted from scratch: the other picture inside the
// pieces' area, then every piece in creation order.
std::vector<std::uint32_t> expectedFrame(const PieceDriver& run, const PiecePlan& plan, const Rect& area,
                                         std::int64_t t) {
    const bool arriving = !plan.pieces.empty() && plan.pieces.front().arriving;
    const Surface& background = arriving ? *run.a : *run.b;
    const Surface& moving = arriving ? *run.b : *run.a;
    std::vector<std::uint32_t> out(run.a->pixels);
    for (std::int32_t y = area.top; y < area.bottom(); ++y)
        for (std::int32_t x = area.left; x < area.right(); ++x) out[y * run.a->width + x] = background.row(y)[x];
    const PieceArea pieceArea{area.width, area.height, 1.0};
    for (const Piece& p : plan.pieces) {
        const DrawnPiece d = drawnAt(p, pieceArea, t);
        for (std::int32_t y = 0; y < d.destination.height; ++y)
            for (std::int32_t x = 0; x < d.destination.width; ++x)
                out[(area.top + d.destination.top + y) * run.a->width + area.left + d.destination.left + x] =
                    moving.row(area.top + d.sourceY + y)[area.left + d.sourceX + x];
    }
    return out;
}

Rect unionOf(const Rect& a, const Rect& b) {
    const std::int32_t left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    return Rect{left, top, std::max(a.right(), b.right()) - left, std::max(a.bottom(), b.bottom()) - top};
}

// Plays the recipe at `refreshHz` (the display's is 30, so other rates
// leave the stored frames and compute them as they come) and checks every
// painted frame against the frame drawn whole.
void playAndCompare(const std::string& name, const Size& size, std::int32_t refreshHz, std::uint32_t seed = 3) {
    PieceDriver run(name, size.windowWidth, size.windowHeight, size.a, size.b, seed);
    ASSERT_EQ(run.begun, 0);
    CRandom again(seed);
    const Rect area = unionOf(size.b, size.a);
    const PiecePlan plan =
        planPieces(*findPieceRecipe(name), PieceArea{area.width, area.height, 1.0}, size.windowHeight, again);
    int frames = 0;
    std::vector<std::uint32_t> last;
    run.play(refreshHz, [&](std::int64_t t, const std::vector<std::uint32_t>& shown) {
        ++frames;
        ASSERT_EQ(shown, expectedFrame(run, plan, area, t)) << name << " at time " << t;
        last = shown;
    });
    EXPECT_GT(frames, 1);
    EXPECT_EQ(last, run.b->pixels) << name << " does not end on B";
}

class EveryRecipe : public ::testing::TestWithParam<std::string_view> {
protected:
    std::string name() const { return std::string(GetParam()); }
    void playAndCompare(const Size& size, std::int32_t refreshHz, std::uint32_t seed = 3) {
        test::playAndCompare(name(), size, refreshHz, seed);
    }
};

TEST_P(EveryRecipe, FramesFromStoredCommandsEqualFramesDrawnWholeAndEndOnB) {
    playAndCompare(Size{64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48}}, 30);
}

TEST_P(EveryRecipe, FramesComputedAsTheyComeEqualFramesDrawnWhole) {
    playAndCompare(Size{64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48}}, 75);
}

TEST_P(EveryRecipe, PicturesOfDifferentPlacesInAWiderWindow) {
    playAndCompare(Size{90, 60, Rect{13, 4, 64, 48}, Rect{20, 9, 41, 50}}, 30, 11);
}

TEST_P(EveryRecipe, OddAndTinyPictures) {
    playAndCompare(Size{7, 5, Rect{0, 0, 7, 5}, Rect{0, 0, 7, 5}}, 30);
    playAndCompare(Size{1, 1, Rect{0, 0, 1, 1}, Rect{0, 0, 1, 1}}, 30);
    playAndCompare(Size{3, 40, Rect{0, 0, 3, 40}, Rect{0, 0, 3, 40}}, 30);
    playAndCompare(Size{50, 2, Rect{0, 0, 50, 2}, Rect{0, 0, 50, 2}}, 30);
}

// Two hundred times wider than high: corner flights cross the width at a
// speed set by the height and take longer than the usual 10000 units.
TEST_P(EveryRecipe, AFarWiderThanHighPictureStillEndsOnB) {
    playAndCompare(Size{400, 2, Rect{0, 0, 400, 2}, Rect{0, 0, 400, 2}}, 30);
}

TEST_P(EveryRecipe, ScreenSaverPreviewSize) { playAndCompare(Size{152, 112, Rect{0, 0, 152, 112}, Rect{0, 0, 152, 112}}, 30); }

TEST_P(EveryRecipe, OnlyPixelsOfEitherPictureOrBlackThroughTheEngine) {
    Registry registry;
    registry.build(RegistryConditions{});
    BackBufferDisplay display(70, 50);
    SurfacePtr a = piecePattern(70, 50, Rect{3, 1, 64, 48}, false), b = piecePattern(70, 50, Rect{0, 4, 66, 40}, true);
    std::unordered_set<std::uint32_t> allowed(a->pixels.begin(), a->pixels.end());
    allowed.insert(b->pixels.begin(), b->pixels.end());
    allowed.insert(0);
    int presented = 0;
    display.onPresent = [&](const BackBufferDisplay& d) {
        ++presented;
        for (std::uint32_t pixel : d.snapshot()) ASSERT_TRUE(allowed.count(pixel)) << name() << ": " << std::hex << pixel;
    };
    CRandom random(5);
    RunOptions options;
    options.random = &random;
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, display, registry.findName(name()), -1, options), 0);
    EXPECT_EQ(registry.entryName(run.entry()), name());
    while (!run.finished()) run.advance();
    run.end();
    EXPECT_GT(presented, 10);
    EXPECT_EQ(display.snapshot(), b->pixels);
}

TEST_P(EveryRecipe, DescribesOnePassOfItsTotalWithTheDefaultDuration) {
    PieceDriver run(name(), 64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48});
    const TransitionInfo info = run.transition->describe();
    EXPECT_EQ(info.defaultMs, 2000);
    EXPECT_EQ(info.passMode, 1);
    EXPECT_EQ(info.extraSteps, 0);
    EXPECT_EQ(info.familyFlag4, 1);
    EXPECT_GE(info.steps, 1);
    EXPECT_LE(info.steps, 10000);
}

// A repaint paints the frame that the next step brings, whole; that step
// then changes nothing.
TEST_P(EveryRecipe, RepaintShowsTheWholeFrameInProgress) {
    PieceDriver run(name(), 64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48});
    std::int64_t k = 0;
    for (; k < 20; ++k) run.transition->step(run.timeAt(k, 30), false);
    run.transition->repaint();
    const std::vector<std::uint32_t> repainted = run.display.snapshot();
    run.transition->step(run.timeAt(k, 30), false);
    EXPECT_EQ(run.display.snapshot(), repainted) << name();
}

// A display whose lock gives nothing once, and which then shows garbage, as
// a window covered and uncovered would.
class FlakyDisplay : public BackBufferDisplay {
public:
    using BackBufferDisplay::BackBufferDisplay;
    int failAt = -1;
    int locks = 0;
    bool lock(std::vector<LockedOutput>& outputs) override {
        if (locks++ != failAt) return BackBufferDisplay::lock(outputs);
        for (std::int32_t y = 0; y < bufferHeight(); ++y) std::fill(writableRow(y), writableRow(y) + rowBytes(), 0xFF);
        outputs.clear();
        return false;
    }
};

TEST_P(EveryRecipe, AFrameThatCouldNotBePaintedIsFollowedByAWholeOne) {
    const auto lastShown = [&](int failAt, int advances) {
        Registry registry;
        registry.build(RegistryConditions{});
        FlakyDisplay display(64, 48);
        display.failAt = failAt;
        SurfacePtr a = piecePattern(64, 48, Rect{0, 0, 64, 48}, false), b = piecePattern(64, 48, Rect{0, 0, 64, 48}, true);
        std::vector<std::uint32_t> shown;
        display.onPresent = [&](const BackBufferDisplay& d) { shown = d.snapshot(); };
        CRandom random(4);
        RunOptions options;
        options.random = &random;
        TransitionRun run;
        run.start(registry, *a, *b, display, registry.findName(name()), 2000, options);
        for (int i = 0; i < advances && !run.finished(); ++i) run.advance();
        return shown;
    };
    for (int advances : {12, 30}) EXPECT_EQ(lastShown(8, advances), lastShown(-1, advances)) << name() << " " << advances;
}

INSTANTIATE_TEST_SUITE_P(PieceRecipes, EveryRecipe, ::testing::ValuesIn(pieceRecipeNames()),
                         [](const ::testing::TestParamInfo<std::string_view>& info) { return std::string(info.param); });

// A long thin picture is cut into more than 256 cells; their frames skip the
// search for pieces at rest and draw every piece.
TEST(PieceRun, ManyPiecesDrawEveryPieceAndStillMatchTheWholeFrames) {
    ASSERT_GT(gridShape(18800, 18, 1.0).columns, 256);
    for (const char* name : {"ssREExplode", "ssRECorkTB"})
        playAndCompare(name, Size{18800, 18, Rect{0, 0, 18800, 18}, Rect{0, 0, 18800, 18}}, 30);
}

// ---- seeded replay ---------------------------------------------------------

std::vector<std::vector<std::uint32_t>> framesOf(const std::string& name, std::uint32_t seed) {
    PieceDriver run(name, 160, 120, Rect{0, 0, 160, 120}, Rect{0, 0, 160, 120}, seed);
    std::vector<std::vector<std::uint32_t>> frames;
    run.play(30, [&](std::int64_t, const std::vector<std::uint32_t>& shown) { frames.push_back(shown); });
    return frames;
}

class RandomRecipe : public ::testing::TestWithParam<const char*> {};

TEST_P(RandomRecipe, SameSeedReplaysExactlyAndAnotherSeedDiffers) {
    EXPECT_EQ(framesOf(GetParam(), 7), framesOf(GetParam(), 7));
    EXPECT_NE(framesOf(GetParam(), 7), framesOf(GetParam(), 8));
}

INSTANTIATE_TEST_SUITE_P(PieceRecipes, RandomRecipe,
                         ::testing::Values("ssREFallingSquares", "ssREExplode2", "ssREFallingSquaresTop",
                                           "ssREPerspeciveSource", "ssREPerspeciveDest", "ssRECorkLR", "ssRECorkRL",
                                           "ssRECorkTB", "ssRECorkBT"));

TEST(PieceRun, ASeededEngineRunReplaysExactly) {
    const auto presentedFrames = [](std::uint32_t seed) {
        Registry registry;
        registry.build(RegistryConditions{});
        BackBufferDisplay display(64, 48);
        SurfacePtr a = piecePattern(64, 48, Rect{0, 0, 64, 48}, false), b = piecePattern(64, 48, Rect{0, 0, 64, 48}, true);
        std::vector<std::vector<std::uint32_t>> frames;
        display.onPresent = [&](const BackBufferDisplay& d) { frames.push_back(d.snapshot()); };
        CRandom random(seed);
        RunOptions options;
        options.random = &random;
        TransitionRun run;
        run.start(registry, *a, *b, display, registry.findName("ssRECorkLR"), -1, options);
        while (!run.finished()) run.advance();
        return frames;
    };
    EXPECT_EQ(presentedFrames(21), presentedFrames(21));
    EXPECT_NE(presentedFrames(21), presentedFrames(22));
}

// ---- durations -------------------------------------------------------------

TEST(PieceRun, ADurationBelowOneMillisecondEndsAtOnceOnB) {
    for (std::int32_t duration : {0, -7}) {
        PieceDriver run("ssREExplode", 64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48}, 1, duration);
        int frames = 0;
        std::vector<std::uint32_t> last;
        run.play(30, [&](std::int64_t t, const std::vector<std::uint32_t>& shown) {
            ++frames;
            EXPECT_EQ(t, run.total);
            last = shown;
        });
        EXPECT_EQ(frames, 1);
        EXPECT_EQ(last, run.b->pixels);
    }
}

TEST(PieceRun, TheLongestDurationDoesNotWrapAndStartsFromA) {
    Registry registry;
    registry.build(RegistryConditions{});
    BackBufferDisplay display(64, 48);
    SurfacePtr a = piecePattern(64, 48, Rect{0, 0, 64, 48}, false), b = piecePattern(64, 48, Rect{0, 0, 64, 48}, true);
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, display, registry.findName("ssREFallingBars"), INT32_MAX, RunOptions{}), 0);
    for (int i = 0; i < 5; ++i) run.advance();
    EXPECT_FALSE(run.finished());
    EXPECT_EQ(run.clock()->currentFrame(), 0);
    EXPECT_EQ(display.snapshot(), a->pixels);
}

TEST(PieceRun, AllTwentySevenAreBuilt) {
    Registry registry;
    registry.build(RegistryConditions{});
    int pieces = 0;
    for (const RegistryEntry& entry : registry.entries()) {
        if (entry.row->kind != Kind::Piece) continue;
        ++pieces;
        EXPECT_TRUE(entry.built() && !entry.broken) << entry.name();
        EXPECT_NE(findPieceRecipe(entry.name()), nullptr) << entry.name();
    }
    EXPECT_EQ(pieces, 27);
    EXPECT_EQ(pieceRecipeNames().size(), 27u);
}

}  // namespace
}  // namespace lv::test
