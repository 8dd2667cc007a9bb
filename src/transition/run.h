// A transition run: one transition taken from the outgoing to the incoming
// surface on a display, from start to its last frame.
//
//     TransitionRun run;
//     if (run.start(registry, *a, *b, display, registry.findNumber(178), -1, options) != 0)
//         paintIncoming(*b, display);        // nothing could start
//     while (!run.finished()) run.advance();  // a stepped run
//     run.end();
//
// Start picks the transition by index, or by weighted random choice for an
// index outside the table (so an unknown number leads to random choice when
// the caller passes registry.findNumber's -1). A transition that cannot
// begin is marked tried (and broken when it can never run) and replaced:
// by the cross-fade "ssBlend", then by "ssNone"; random choice draws again.
// Start returns 0 when running, -1 when nothing could start.
//
// The refresh rate (0: the display's first output's), the random generator
// and the time source are the options', so a run can be replayed exactly.
#pragma once

#include <cstdint>
#include <memory>

#include "transition/frame_clock.h"
#include "transition/registry.h"
#include "transition/surface.h"

namespace lv {

class Display;

struct RunOptions {
    ClockMode mode = ClockMode::Stepped;
    std::int32_t refreshHz = 0;
    RandomSource* random = nullptr;  // null: a generator of seed 1 kept by the run
    TimeSource now;
    std::function<std::unique_ptr<OneShotTimer>()> makeTimer;
};

class TransitionRun {
public:
    TransitionRun() = default;
    TransitionRun(const TransitionRun&) = delete;
    TransitionRun& operator=(const TransitionRun&) = delete;
    ~TransitionRun() { end(); }

    int start(Registry& registry, const Surface& outgoing, const Surface& incoming, Display& display, int index,
              std::int32_t durationMs, const RunOptions& options);
    void advance();
    // True when the last frame has been painted, or when nothing runs.
    bool finished() const;
    void repaint();
    void end();

    // The registry index of the running transition, -1 when none.
    int entry() const { return entry_; }
    const FrameClock* clock() const { return clock_.get(); }

private:
    int begin(Registry& registry, int index, TransitionPtr transition, std::int32_t durationMs);

    const Surface* outgoing_ = nullptr;
    const Surface* incoming_ = nullptr;
    Display* display_ = nullptr;
    RunOptions options_;
    CRandom ownRandom_;
    TransitionPtr transition_;
    std::unique_ptr<FrameClock> clock_;
    int entry_ = -1;
};

// Lets the display rebuild what it must before a frame (its check), under the
// engine frame mutex, so that no running step ever sees it half rebuilt. The
// window's owner calls this after a move, a resize or a display change.
int checkDisplay(Display& display);

// Paints the whole incoming surface on the display (the engine's paint of the
// incoming image; "ssNone" and callers whose run could not start use it).
bool paintIncoming(const Surface& incoming, Display& display);

}  // namespace lv
