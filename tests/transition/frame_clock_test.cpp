#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "transition/frame_clock.h"

namespace lv {
namespace {

// A transition that records the frames it is handed.
class RecordingTransition : public Transition {
public:
    TransitionInfo info;
    std::vector<std::int64_t> frames;
    std::vector<bool> finals;

    int begin(const Surface&, const Surface&, Display&, StepSink&) override { return 0; }
    TransitionInfo describe() const override { return info; }
    void step(std::int64_t frame, bool final) override {
        frames.push_back(frame);
        finals.push_back(final);
    }
    void repaint() override {}
};

struct ClockCase {
    RecordingTransition transition;
    std::unique_ptr<FrameClock> clock;

    ClockCase(std::int32_t steps, std::int32_t refresh, std::int32_t defaultMs = 2000) {
        transition.info.steps = steps;
        transition.info.defaultMs = defaultMs;
        ClockSettings settings;
        settings.refreshHz = refresh;
        settings.now = [] { return 0.0; };
        clock = std::make_unique<FrameClock>(transition, settings);
    }
    void runStepped(std::int32_t durationMs, int advances) {
        clock->start(ClockMode::Stepped, durationMs);
        for (int i = 0; i < advances; ++i) clock->advanceStepped();
    }
};

TEST(FrameClockArithmetic, FrameOfATick) {
    // 1000 ms at 75 Hz: budget 75000; tick 15 is progress 200, frame 50 of 250.
    EXPECT_EQ(FrameClock::frameFor(15, 1000, 75, 250), 50);
    EXPECT_EQ(FrameClock::frameFor(75, 1000, 75, 250), 250);
    EXPECT_EQ(FrameClock::frameFor(750, 1000, 75, 250), 250);
    // Ten hours at 240 Hz: ticks x 1000000 does not wrap at 32 bits.
    EXPECT_EQ(FrameClock::frameFor(4320000, 36000000, 240, 1000), 500);
    // A duration below one millisecond is over at once.
    EXPECT_EQ(FrameClock::frameFor(0, 0, 75, 256), 256);
    EXPECT_EQ(FrameClock::frameFor(0, -7, 75, 256), 256);
}

TEST(FrameClock, SteppedFramesOfTheFirstAdvanceZeroAndDefaultDurationsNeverMoveBack) {
    ClockCase first(250, 75);
    first.runStepped(1000, 1);  // the first advance steps three times
    EXPECT_EQ(first.transition.frames, (std::vector<std::int64_t>{0, 3, 6}));
    EXPECT_EQ(first.clock->ticks(), 3);
    ClockCase zero(256, 75);
    zero.runStepped(0, 2);  // one step and the final
    EXPECT_TRUE(zero.clock->finished());
    EXPECT_EQ(zero.transition.frames, (std::vector<std::int64_t>{256, 256}));
    ClockCase byDefault(100, 50, 1000);  // budget 50000: one tick is 20 per mille
    byDefault.runStepped(-1, 2);
    EXPECT_EQ(byDefault.transition.frames, (std::vector<std::int64_t>{0, 2, 4, 6}));
    // The frame never moves backwards when the transition then asks for far longer.
    byDefault.transition.info.defaultMs = 100000;
    byDefault.clock->advanceStepped();
    EXPECT_EQ(byDefault.transition.frames.back(), 6);
}

TEST(FrameClock, RunsToTheFinalStep) {
    ClockCase c(250, 75);
    c.clock->start(ClockMode::Stepped, 1000);
    int advances = 0;
    while (!c.clock->finished() && advances < 1000) {
        c.clock->advanceStepped();
        ++advances;
    }
    ASSERT_TRUE(c.clock->finished());
    EXPECT_EQ(c.transition.frames.back(), 250);
    EXPECT_TRUE(c.transition.finals.back());
    EXPECT_EQ(std::count(c.transition.finals.begin(), c.transition.finals.end(), true), 1);
    for (std::size_t i = 1; i < c.transition.frames.size(); ++i) EXPECT_GE(c.transition.frames[i], c.transition.frames[i - 1]);
}

TEST(FrameClock, OnePassIgnoresVariantTwo) {
    TransitionInfo info;
    info.steps = 40;
    info.variant2 = 1;
    info.secondPass = 9;
    info.passMode = 1;
    EXPECT_EQ(totalFrames(info), 40);
    info.passMode = 0;
    info.extraSteps = 3;
    EXPECT_EQ(totalFrames(info), 83);
    EXPECT_EQ(clockParameters(info, 500).secondPassOffset, 9);
}

// A timer that refuses to be armed.
class RefusingTimer : public OneShotTimer {
public:
    bool arm(std::uint32_t, std::function<void()>) override { return false; }
    void cancel() override {}
};

TEST(FrameClockTimed, ATimerThatCannotBeArmedFinishesTheRun) {
    RecordingTransition transition;
    transition.info.steps = 10;
    ClockSettings settings;
    settings.makeTimer = [] { return std::unique_ptr<OneShotTimer>(new RefusingTimer); };
    FrameClock clock(transition, settings);
    clock.start(ClockMode::Timed, 100);
    EXPECT_TRUE(clock.finished());
    clock.stop();  // returns at once
}

TEST(FrameClockTimed, RunsOnTheTimerThreadToTheEnd) {
    RecordingTransition transition;
    transition.info.steps = 20;
    ClockSettings settings;
    settings.refreshHz = 200;
    FrameClock clock(transition, settings);
    clock.start(ClockMode::Timed, 50);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!clock.finished() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    clock.stop();
    ASSERT_TRUE(clock.finished());
    ASSERT_FALSE(transition.frames.empty());
    EXPECT_EQ(transition.frames.back(), 20);
    EXPECT_TRUE(transition.finals.back());
}

TEST(FrameClockTimed, StopEndsARunningChain) {
    RecordingTransition transition;
    transition.info.steps = 100000;
    ClockSettings settings;
    FrameClock clock(transition, settings);
    clock.start(ClockMode::Timed, 60000);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto before = std::chrono::steady_clock::now();
    clock.stop();
    EXPECT_TRUE(clock.finished());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
    const std::size_t steps = transition.frames.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(transition.frames.size(), steps);
}

}  // namespace
}  // namespace lv
