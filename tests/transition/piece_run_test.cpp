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

Size whole(std::int32_t w, std::int32_t h) { return Size{w, h, Rect{0, 0, w, h}, Rect{0, 0, w, h}}; }

// `name` through the registry with the run's random numbers from `seed`.
std::vector<std::vector<std::uint32_t>> engineFrames(const std::string& name, BackBufferDisplay& display, const Surface& a,
                                                     const Surface& b, std::uint32_t seed, std::int32_t durationMs,
                                                     int advances = INT_MAX) {
    CRandom random(seed);
    RunOptions options;
    options.random = &random;
    return test::engineFrames(name, display, a, b, durationMs, options, advances);
}

class EveryRecipe : public ::testing::TestWithParam<std::string_view> {
protected:
    std::string name() const { return std::string(GetParam()); }
};

// The display's refresh is 30: other rates leave the stored frames and
// compute them as they come. 400 x 2: corner flights cross the width at a
// speed set by the height and take longer than the usual 10000 units.
TEST_P(EveryRecipe, EveryPaintedFrameIsTheFrameDrawnWholeAndTheLastIsB) {
    const struct {
        Size size;
        std::int32_t refreshHz;
        std::uint32_t seed;
    } cases[] = {
        {whole(64, 48), 30, 3}, {whole(64, 48), 75, 3}, {Size{90, 60, Rect{13, 4, 64, 48}, Rect{20, 9, 41, 50}}, 30, 11},
        {whole(7, 5), 30, 3},   {whole(1, 1), 30, 3},   {whole(3, 40), 30, 3},
        {whole(50, 2), 30, 3},  {whole(400, 2), 30, 3}, {whole(152, 112), 30, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.windowWidth << "x" << c.size.windowHeight << " at " << c.refreshHz);
        playAndCompare(name(), c.size, c.refreshHz, c.seed);
    }
}

// Through the engine only pixels of either picture or black, ending on B;
// and a frame that could not be painted is followed by a whole one.
TEST_P(EveryRecipe, ThroughTheEngineOnlyPixelsOfEitherPictureOrBlackAndWholeFramesAfterALostOne) {
    BackBufferDisplay display(70, 50);
    SurfacePtr a = piecePattern(70, 50, Rect{3, 1, 64, 48}, false), b = piecePattern(70, 50, Rect{0, 4, 66, 40}, true);
    std::unordered_set<std::uint32_t> allowed(a->pixels.begin(), a->pixels.end());
    allowed.insert(b->pixels.begin(), b->pixels.end());
    allowed.insert(0);
    const auto frames = engineFrames(name(), display, *a, *b, 5, -1);
    EXPECT_GT(frames.size(), 10u);
    for (const auto& frame : frames)
        for (std::uint32_t pixel : frame) ASSERT_TRUE(allowed.count(pixel)) << name() << ": " << std::hex << pixel;
    EXPECT_EQ(display.snapshot(), b->pixels);

    const auto lastShown = [&](int failAt, int advances) {
        FlakyDisplay flaky(70, 50);
        flaky.failAt = failAt;
        return engineFrames(name(), flaky, *a, *b, 4, 2000, advances).back();
    };
    for (int advances : {12, 30}) EXPECT_EQ(lastShown(8, advances), lastShown(-1, advances)) << name() << " " << advances;
}

// It describes one pass of its total with the default duration. A repaint
// paints the frame that the next step brings, whole; that step then changes nothing.
TEST_P(EveryRecipe, DescribesOnePassAndRepaintShowsTheWholeFrameInProgress) {
    PieceDriver run(name(), 64, 48, Rect{0, 0, 64, 48}, Rect{0, 0, 64, 48});
    const TransitionInfo info = run.transition->describe();
    EXPECT_EQ(info.defaultMs, 2000);
    EXPECT_EQ(info.passMode, 1);
    EXPECT_EQ(info.extraSteps, 0);
    EXPECT_EQ(info.familyFlag4, 1);
    EXPECT_GE(info.steps, 1);
    EXPECT_LE(info.steps, 10000);
    std::int64_t k = 0;
    for (; k < 20; ++k) run.transition->step(run.timeAt(k, 30), false);
    run.transition->repaint();
    const std::vector<std::uint32_t> repainted = run.display.snapshot();
    run.transition->step(run.timeAt(k, 30), false);
    EXPECT_EQ(run.display.snapshot(), repainted) << name();
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
    const SurfacePtr a = piecePattern(64, 48, Rect{0, 0, 64, 48}, false), b = piecePattern(64, 48, Rect{0, 0, 64, 48}, true);
    const auto frames = [&](std::uint32_t seed) {
        BackBufferDisplay display(64, 48);
        return engineFrames("ssRECorkLR", display, *a, *b, seed, -1);
    };
    EXPECT_EQ(frames(21), frames(21));
    EXPECT_NE(frames(21), frames(22));
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
    Registry registry = fullRegistry();
    BackBufferDisplay display(64, 48);
    SurfacePtr a = piecePattern(64, 48, Rect{0, 0, 64, 48}, false), b = piecePattern(64, 48, Rect{0, 0, 64, 48}, true);
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, display, registry.findName("ssREFallingBars"), INT32_MAX, RunOptions{}), 0);
    for (int i = 0; i < 5; ++i) run.advance();
    EXPECT_FALSE(run.finished());
    EXPECT_EQ(run.clock()->currentFrame(), 0);
    EXPECT_EQ(display.snapshot(), a->pixels);
}

}  // namespace
}  // namespace lv::test
