// One change of show picture on the viewer's display: the outgoing frame,
// the incoming picture centred on a frame of the drawing window's size, and
// the transition run between them. The display is made once, by the host,
// and kept; the last incoming frame becomes the next change's outgoing one.
//
//     PictureChange change;
//     change.start(registry, host, picture, {171, 800}, options);
//     while (change.running()) change.advanceTo(nowMs);   // stepped clock
//
// A transition that cannot start falls back once to 1 (ssNone); when that
// fails too, or no display can be made, no transition runs and the host's
// own painting of the current picture shows it.
#pragma once

#include <cstdint>
#include <memory>

#include "display/display.h"
#include "render/bitmap.h"
#include "show/transition_choice.h"
#include "transition/run.h"
#include "transition/surface.h"

namespace lv {

class PlaybackHost;

class PictureChange {
public:
    PictureChange() = default;
    PictureChange(const PictureChange&) = delete;
    PictureChange& operator=(const PictureChange&) = delete;
    ~PictureChange() { endRun(); }

    // Ends any running transition, makes the incoming frame of the picture
    // and runs the choice's transition to it (number 0: the frame is only
    // kept). `now` starts the stepped clock's count. Returns the number that
    // runs, 0 when none.
    int start(Registry& registry, PlaybackHost& host, const Bitmap& picture, TransitionChoice choice,
              const RunOptions& options, std::uint32_t now);
    // Stepped runs: one frame per refresh period passed since the start.
    void advanceTo(std::uint32_t now);
    bool running() const { return running_; }
    // Ends a finished run; true when nothing runs any more.
    bool settle();
    // Repaints the running transition's current frame; false when none runs.
    bool repaint();
    void endRun();
    // Frees the surfaces (the display stays).
    void release();

    bool hasTarget() const { return target_ != nullptr; }
    const Surface* target() const { return target_.get(); }
    Display* display() const { return display_.get(); }
    int runningNumber() const { return runningNumber_; }
    std::int64_t framesAdvanced() const { return framesAdvanced_; }

private:
    bool ensureDisplay(PlaybackHost& host);
    int startRun(Registry& registry, int number, std::int32_t timeMs, const RunOptions& options);

    std::unique_ptr<Display> display_;
    bool displayAsked_ = false;
    SurfacePtr source_, target_;
    TransitionRun run_;
    bool running_ = false;
    bool stepped_ = true;
    int runningNumber_ = 0;
    std::int32_t refreshHz_ = 75;
    std::uint32_t startedAt_ = 0;
    std::int64_t framesAdvanced_ = 0;
};

}  // namespace lv
