#include "show/picture_change.h"

#include <algorithm>

#include "show/playback_host.h"
#include "show/show_player.h"

namespace lv {

bool PictureChange::ensureDisplay(PlaybackHost& host) {
    // Made once for the drawing window and kept, even when it could not be made.
    if (!displayAsked_) {
        displayAsked_ = true;
        display_ = host.makeDisplay();
    }
    return display_ != nullptr;
}

int PictureChange::start(Registry& registry, PlaybackHost& host, const Bitmap& picture, TransitionChoice choice,
                         const RunOptions& options, std::uint32_t now) {
    endRun();
    const PictureSize window = host.drawingSize();
    const std::int32_t width = std::max(window.width, 1), height = std::max(window.height, 1);
    SurfacePtr incoming =
        surfaceFromBitmap(picture, width, height, (width - picture.width) / 2, (height - picture.height) / 2);
    if (!incoming) return 0;
    // The frame now up leaves; the first change, or one after a resize,
    // starts from black.
    SurfacePtr outgoing = std::move(target_);
    if (!outgoing || outgoing->width != width || outgoing->height != height) outgoing = createSurface(width, height);
    source_ = std::move(outgoing);
    target_ = std::move(incoming);
    if (choice.number == 0 || !source_ || !ensureDisplay(host)) return 0;

    stepped_ = options.mode == ClockMode::Stepped;
    refreshHz_ = options.refreshHz > 0 ? options.refreshHz
                 : display_->outputs().empty() ? 75 : display_->outputs().front().refreshHz;
    startedAt_ = now;
    framesAdvanced_ = 0;
    int number = startRun(registry, choice.number, choice.timeMs, options);
    if (number == 0) {
        const int fallback = fallbackTransition(choice.number);
        if (fallback != 0) number = startRun(registry, fallback, choice.timeMs, options);
    }
    // Put up in any case.
    if (number == 0) paintIncoming(*target_, *display_);
    return number;
}

int PictureChange::startRun(Registry& registry, int number, std::int32_t timeMs, const RunOptions& options) {
    if (run_.start(registry, *source_, *target_, *display_, registry.findNumber(number), timeMs, options) != 0)
        return 0;
    running_ = true;
    runningNumber_ = registry.entries()[static_cast<std::size_t>(run_.entry())].number();
    return runningNumber_;
}

void PictureChange::advanceTo(std::uint32_t now) {
    if (!running_ || !stepped_) return;
    // One step per refresh period: a run of d ms takes d ms of the clock.
    const std::int64_t passed = std::max<std::int32_t>(elapsedMs(startedAt_, now), 0);
    const std::int64_t wanted = passed * refreshHz_ / 1000 + 1;
    while (framesAdvanced_ < wanted && !run_.finished()) {
        run_.advance();
        ++framesAdvanced_;
    }
}

bool PictureChange::settle() {
    if (running_ && run_.finished()) endRun();
    return !running_;
}

bool PictureChange::repaint() {
    if (!running_) return false;
    run_.repaint();
    return true;
}

void PictureChange::endRun() {
    run_.end();
    running_ = false;
    runningNumber_ = 0;
}

void PictureChange::release() {
    endRun();
    source_.reset();
    target_.reset();
}

}  // namespace lv
