// The frame clock: turns a transition's duration into frame numbers and
// calls its step once per display refresh, so a run of N steps takes its
// duration on any machine (a slow one skips frames, a fast one repeats none).
//
// Frame arithmetic, per advance: budget = duration x refresh rate; progress
// = ticks x 1000000 / budget, at most 1000 (per mille of the duration, one
// tick per refresh); frame = progress x total / 1000, never decreasing. The
// very first advance steps three times (ticks 0, 1, 2) to prime pipelined
// transitions; the advance after the last frame is the final step. All of it
// is 64-bit, and a duration below 1 ms finishes at once.
//
//     FrameClock clock(transition, display, settings);   // stepped
//     clock.start(ClockMode::Stepped, 2000);
//     while (!clock.finished()) clock.advanceStepped();
//
// A timed clock runs on a one-shot timer chain (platform/one_shot_timer.h):
// each event takes the engine frame mutex, advances, and arms the next event
// 3 ms before the next refresh, counted from when the step painted. When the
// timer cannot be armed the clock finishes instead of leaving its run
// hanging. The refresh rate, the time source and the timer are injectable,
// so a run can be replayed exactly.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/one_shot_timer.h"
#include "transition/transition.h"

namespace lv {

// The program-wide mutex that serialises whole frame advances of all clocks;
// whoever rebuilds a display takes it too.
std::mutex& engineFrameMutex();

// Seconds of a high-resolution clock.
using TimeSource = std::function<double()>;
TimeSource systemTimeSource();

enum class ClockMode { Stepped, Timed };

struct ClockSettings {
    std::int32_t refreshHz = 75;
    TimeSource now;                  // null: the system's
    std::function<std::unique_ptr<OneShotTimer>()> makeTimer;  // null: the platform's
    double stopWaitSeconds = 2.0;    // how long stop waits for the chain
};

// The parameters a transition gets from its information record and duration.
ClockParameters clockParameters(const TransitionInfo& info, std::int32_t durationMs);
// Steps of one pass x passes + extra steps.
std::int64_t totalFrames(const TransitionInfo& info);

class FrameClock : public StepSink {
public:
    FrameClock(Transition& transition, ClockSettings settings);
    ~FrameClock() override;

    // Hands the transition its parameters; a timed clock arms its first event.
    void start(ClockMode mode, std::int32_t durationMs);
    // One step of a stepped clock, under the engine frame mutex; a timed
    // clock ignores it.
    void advanceStepped();
    bool finished() const { return finished_.load(); }
    // The current frame again, under the step mutex.
    void repaint();
    // Ends the timer chain and waits for it (bounded); returns at once when
    // the final step has been made.
    void stop();

    std::int64_t currentFrame() const { return currentFrame_; }
    std::int64_t total() const { return total_; }
    std::int64_t ticks() const { return ticks_; }

    void markPainted() override;

    // The frame for a tick count: exposed for the arithmetic's tests.
    static std::int64_t frameFor(std::int64_t ticks, std::int64_t durationMs, std::int32_t refreshHz, std::int64_t total);

private:
    void advance(bool final);
    void advanceOnce(bool final);
    void timerEvent();
    void armNext();

    Transition& transition_;
    ClockSettings settings_;
    ClockMode mode_ = ClockMode::Stepped;
    std::int32_t durationMs_ = -1;
    std::int64_t currentFrame_ = 0;
    std::int64_t total_ = 0;
    std::int64_t ticks_ = 0;
    std::atomic<bool> finished_{false};
    std::atomic<bool> stopRequested_{false};
    std::mutex stepMutex_;
    std::unique_ptr<OneShotTimer> timer_;
    double framePeriod_ = 1.0 / 75;
    bool paintedThisEvent_ = false;
    double paintTime_ = 0;
};

}  // namespace lv
