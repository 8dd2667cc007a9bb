#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "transition/block_kind.h"
#include "transition/easing.h"
#include "transition_fixture.h"

namespace lv {
namespace {

using test::fullPattern;
using test::fullRegistry;
using test::patternSurface;
using test::RecordingDisplay;
using test::runToEnd;
using test::SteppedRun;

// Every built transition, by name.
std::vector<std::string> readyNames() {
    std::vector<std::string> names;
    const Registry registry = fullRegistry();
    for (const RegistryEntry& entry : registry.entries()) {
        if (entry.built()) names.emplace_back(entry.name());
    }
    return names;
}

class EveryReadyTransition : public SteppedRun, public ::testing::WithParamInterface<std::string> {};

// Whole pictures, a smaller incoming picture inside the window, and tiny
// windows (which must not divide by zero).
TEST_P(EveryReadyTransition, EndsOnTheIncomingPictureExactly) {
    const struct {
        std::int32_t width, height;
        Rect incoming;
        std::int32_t durationMs;
    } cases[] = {{61, 37, Rect{0, 0, 61, 37}, 500}, {50, 40, Rect{7, 5, 31, 27}, 300}, {1, 1, Rect{0, 0, 1, 1}, 200},
                 {2, 2, Rect{0, 0, 2, 2}, 200},   {3, 3, Rect{0, 0, 3, 3}, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        start(GetParam(), fullPattern(c.width, c.height, 1), patternSurface(c.width, c.height, c.incoming, 2), c.durationMs);
        ASSERT_TRUE(runToEnd(run));
        ASSERT_FALSE(screen->frames.empty());
        EXPECT_EQ(last(), b->pixels);
        run.end();
    }
}

TEST_P(EveryReadyTransition, ShowsSomethingBetweenTheTwoPictures) {
    if (GetParam() == "ssNone") GTEST_SKIP() << "no frames in between";
    start(GetParam(), fullPattern(48, 32, 5), fullPattern(48, 32, 6), 1000);
    ASSERT_TRUE(runToEnd(run));
    int between = 0;
    for (const auto& frame : screen->frames) between += frame != a->pixels && frame != b->pixels;
    EXPECT_GT(between, 3);
}

INSTANTIATE_TEST_SUITE_P(Registry, EveryReadyTransition, ::testing::ValuesIn(readyNames()),
                         [](const auto& info) { return info.param; });

TEST_F(SteppedRun, NoneShowsTheIncomingPictureAfterOneStep) {
    start("ssNone", fullPattern(20, 10, 1), fullPattern(20, 10, 2), 5000);
    run.advance();
    ASSERT_FALSE(screen->frames.empty());
    EXPECT_EQ(last(), b->pixels);
    run.advance();
    EXPECT_TRUE(run.finished());
}

// A push at offset p along its axis: going forwards the incoming picture's
// last p lines lead, going back its first p lines trail; a split push moves
// its first half (upper, or left) in the named direction, the other half back.
std::uint32_t pushedPixel(const Surface& a, const Surface& b, std::string_view name, std::int32_t p, std::int32_t x,
                          std::int32_t y) {
    const bool vertical = name.ends_with("TB") || name.ends_with("BT");
    const bool split = name.starts_with("ssSPush");
    bool forward = name.ends_with("LR") || name.ends_with("TB");
    if (split && (vertical ? x >= a.width / 2 : y >= a.height / 2)) forward = !forward;
    const std::int32_t e = vertical ? a.height : a.width, at = vertical ? y : x;
    const bool incoming = forward ? at < p : at >= e - p;
    const std::int32_t from = forward ? (incoming ? e - p + at : at - p) : (incoming ? at - (e - p) : at + p);
    const Surface& s = incoming ? b : a;
    return vertical ? s.row(from)[x] : s.row(y)[from];
}

class Pushes : public SteppedRun, public ::testing::WithParamInterface<std::string> {};

TEST_P(Pushes, EveryFrameMovesBothPicturesByTheEasedOffset) {
    const std::int32_t w = 64, h = 40;
    start(GetParam(), fullPattern(w, h, 1), fullPattern(w, h, 2), 1000, 60);
    const bool vertical = GetParam().ends_with("TB") || GetParam().ends_with("BT");
    const std::vector<std::int32_t> table = symmetricEasing(vertical ? h : w, EasingShape::Cube);
    int moved = 0;
    test::checkPaintedFrames(run, *screen, [&](const auto& frame, std::int64_t painted) {
        const std::int32_t p = easedAt(table, painted);
        moved += p > 0 && p < (vertical ? h : w);
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(frame[static_cast<std::size_t>(y) * w + x], pushedPixel(*a, *b, GetParam(), p, x, y))
                    << x << "," << y << " p=" << p;
            }
        }
    });
    EXPECT_GT(moved, 20);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Pushes,
                         ::testing::Values("ssPushLR", "ssPushRL", "ssPushTB", "ssPushBT", "ssSPushLR", "ssSPushRL",
                                           "ssSPushTB", "ssSPushBT"),
                         [](const auto& info) { return info.param; });

TEST_F(SteppedRun, CrossFadeMixesWithinOneOfTheExactBlend) {
    start("ssBlend", fullPattern(33, 9, 1), fullPattern(33, 9, 2), 1500, 60);
    const std::vector<std::int32_t> table = symmetricEasing(256, EasingShape::Cube);
    for (int i = 0; i < 30 && !run.finished(); ++i) {
        run.advance();
        // The cross-fade is not pipelined: the last frame shows the current level.
        const std::int32_t v = easedAt(table, run.clock()->currentFrame());
        const auto& frame = last();
        for (std::size_t k = 0; k < frame.size(); ++k) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int o = (a->pixels[k] >> shift) & 0xFF, n = (b->pixels[k] >> shift) & 0xFF;
                const int exact = (o * (256 - v) + n * v) / 256;
                const int shown = (frame[k] >> shift) & 0xFF;
                ASSERT_LE(std::abs(shown - exact), 1) << "level " << v;
            }
        }
    }
    EXPECT_EQ(screen->frames.front(), a->pixels);  // exactly, not within one
}

// Which entry a run takes when the one asked for cannot run.
class TransitionRunChoice : public ::testing::Test {
protected:
    int entryFor(int index, std::int32_t incomingWidth = 8, RunOptions options = {}) {
        const auto a = fullPattern(8, 8, 1), b = fullPattern(incomingWidth, 8, 2);
        RecordingDisplay screen(incomingWidth, 8);
        TransitionRun run;
        EXPECT_EQ(run.start(registry, *a, *b, screen.display, index, -1, options), 0);
        return run.entry();
    }
    Registry registry = fullRegistry();
};

TEST_F(TransitionRunChoice, UnknownNumberLeadsToRandomChoice) {
    Registry replay = fullRegistry();
    CRandom random(3), same(3);
    RunOptions options;
    options.random = &random;
    const int entry = entryFor(registry.findNumber(9999), 8, options);
    EXPECT_EQ(entry, replay.chooseRandom(same));
    EXPECT_NE(entry, 0);  // not simply the first entry
}

TEST_F(TransitionRunChoice, AllDisabledFallsBackToTheCrossFade) {
    for (int i = 0; i < registry.size(); ++i) registry.setEnabled(i, false);
    EXPECT_EQ(registry.entryName(entryFor(registry.size() + 5)), "ssBlend");
}

TEST_F(TransitionRunChoice, SurfacesThatDoNotMatchFallToNone) {
    EXPECT_EQ(registry.entryName(entryFor(registry.findName("ssPushLR"), 9)), "ssNone");
    EXPECT_TRUE(registry.entries()[registry.findName("ssPushLR")].broken);
    EXPECT_TRUE(registry.entries()[registry.findName("ssBlend")].broken);
}

TEST(TransitionRunReplay, SameSeedAndRefreshGiveTheSameFrames) {
    auto record = [](std::uint32_t seed) {
        Registry registry = fullRegistry();
        auto a = fullPattern(24, 16, 1), b = fullPattern(24, 16, 2);
        RecordingDisplay screen(24, 16);
        CRandom random(seed);
        RunOptions options;
        options.random = &random;
        options.refreshHz = 50;
        std::vector<std::vector<std::uint32_t>> frames;
        for (int r = 0; r < 4; ++r) {
            TransitionRun run;
            if (run.start(registry, *a, *b, screen.display, registry.size(), 400, options) != 0) break;
            runToEnd(run);
            std::swap(a, b);
        }
        return screen.frames;
    };
    const auto first = record(11);
    EXPECT_EQ(first, record(11));
    EXPECT_NE(first, record(12));
}

TEST(TransitionRunLock, AStepWithoutALockMakesTheNextFrameWhole) {
    // A slide paints only the incoming picture's part, a paper wipe only what
    // changed since the frame before; after a lost frame the next one must
    // lay the outgoing picture again and draw all of itself, not leave the garbage.
    // failAt < -1: the lock of a repaint before the tenth advance fails.
    const auto a = fullPattern(40, 20, 1), b = fullPattern(40, 20, 2);
    RunOptions options;
    options.refreshHz = 60;
    auto frameAfterFailure = [&](const char* name, int failAt, std::int32_t durationMs) {
        test::FlakyDisplay display(40, 20);
        display.failAt = failAt;
        const auto frames = test::engineFrames(name, display, *a, *b, durationMs, options, 20, [&](int i, TransitionRun& run) {
            if (failAt < -1 && i == 10) {
                display.failNext = true;
                run.repaint();
            }
        });
        return frames.back();
    };
    // Short enough that the frames after the failure have moved well on.
    for (const auto& [name, durationMs] :
         {std::pair{"ssSlideLR", 2000}, {"ssPaperLR", 600}, {"ssPaperBT", 600}, {"ssSlideOpenCorners", 600}}) {
        EXPECT_EQ(frameAfterFailure(name, 10, durationMs), frameAfterFailure(name, -1, durationMs)) << name;
        EXPECT_EQ(frameAfterFailure(name, -2, durationMs), frameAfterFailure(name, -1, durationMs)) << name << ", repaint";
    }
}

TEST(BlockCommands, FrameZeroLeavesTheOutgoingPicture) {
    Registry registry = fullRegistry();
    auto a = fullPattern(30, 20, 1), b = patternSurface(30, 20, Rect{4, 3, 20, 14}, 2);
    BackBufferDisplay display(30, 20);
    test::CountingSink sink;
    for (const RegistryEntry& entry : registry.entries()) {
        TransitionPtr t = registry.createByIndex(registry.findName(entry.name()));
        auto* block = dynamic_cast<BlockTransition*>(t.get());
        if (block == nullptr) continue;
        ASSERT_EQ(block->begin(*a, *b, display, sink), 0);
        for (const BlockCommand& command : block->commandsFor(0)) {
            EXPECT_FALSE(command.source == BlockCommand::Source::Incoming && !command.destination.empty()) << entry.name();
        }
    }
}

// A display that notes when it is rebuilt while a frame is being drawn.
class WatchedDisplay : public BackBufferDisplay {
public:
    using BackBufferDisplay::BackBufferDisplay;
    std::atomic<bool> drawing{false};
    std::atomic<int> rebuiltWhileDrawing{0}, checks{0};
    bool lock(std::vector<LockedOutput>& outputs) override {
        drawing = true;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        return BackBufferDisplay::lock(outputs);
    }
    void unlockAndPresent() override {
        BackBufferDisplay::unlockAndPresent();
        drawing = false;
    }
    int check() override {
        ++checks;
        if (drawing) ++rebuiltWhileDrawing;
        return BackBufferDisplay::check();
    }
};

TEST(TransitionRunThreads, TheDisplayIsNeverRebuiltUnderARunningStep) {
    Registry registry = test::fullRegistry();
    auto a = test::fullPattern(64, 48, 1), b = test::fullPattern(64, 48, 2);
    WatchedDisplay display(64, 48);
    RunOptions options;
    options.mode = ClockMode::Timed;
    options.refreshHz = 200;
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, display, registry.findName("ssBlend"), 300, options), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!run.finished() && std::chrono::steady_clock::now() < deadline) checkDisplay(display);
    run.end();
    EXPECT_TRUE(run.finished());
    EXPECT_GT(display.checks.load(), 10);
    EXPECT_EQ(display.rebuiltWhileDrawing.load(), 0);
}

}  // namespace
}  // namespace lv
