#include "transition/frame_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace lv {

std::mutex& engineFrameMutex() {
    static std::mutex mutex;
    return mutex;
}

TimeSource systemTimeSource() {
    return [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

ClockParameters clockParameters(const TransitionInfo& info, std::int32_t durationMs) {
    ClockParameters p;
    p.passes = info.passMode == 1 ? 1 : (info.variant2 != 0 ? 2 : 1);
    p.secondPassOffset = p.passes == 2 ? info.secondPass : 0;
    p.familyValue = info.familyValue;
    p.durationMs = durationMs;
    return p;
}

std::int64_t totalFrames(const TransitionInfo& info) {
    return std::int64_t{info.steps} * clockParameters(info, -1).passes + info.extraSteps;
}

std::int64_t FrameClock::frameFor(std::int64_t ticks, std::int64_t durationMs, std::int32_t refreshHz, std::int64_t total) {
    const std::int64_t budget = durationMs * refreshHz;
    // A duration below 1 ms (or a refresh of 0) has no budget: it is over.
    const std::int64_t progress = budget <= 0 ? 1000 : std::min<std::int64_t>(ticks * 1000000 / budget, 1000);
    return progress * total / 1000;
}

FrameClock::FrameClock(Transition& transition, ClockSettings settings)
    : transition_(transition), settings_(std::move(settings)) {
    if (!settings_.now) settings_.now = systemTimeSource();
    if (settings_.refreshHz <= 0) settings_.refreshHz = 75;
}

FrameClock::~FrameClock() { stop(); }

void FrameClock::start(ClockMode mode, std::int32_t durationMs) {
    mode_ = mode;
    durationMs_ = durationMs;
    const TransitionInfo info = transition_.describe();
    total_ = totalFrames(info);
    transition_.setParameters(clockParameters(info, durationMs));
    currentFrame_ = ticks_ = 0;
    finished_ = stopRequested_ = false;
    paintedThisEvent_ = false;
    if (mode_ != ClockMode::Timed) return;
    framePeriod_ = 1.0 / settings_.refreshHz;
    timer_ = settings_.makeTimer ? settings_.makeTimer() : createOneShotTimer();
    if (!timer_ || !timer_->arm(1, [this] { timerEvent(); })) finished_ = true;
}

void FrameClock::advanceOnce(bool final) {
    const TransitionInfo info = transition_.describe();
    const std::int64_t duration = durationMs_ == -1 ? info.defaultMs : durationMs_;
    const std::int64_t frame = std::max(currentFrame_, frameFor(ticks_, duration, settings_.refreshHz, total_));
    currentFrame_ = frame;
    const std::int64_t handed = transition_.mapFrame(frame).value_or(frame);
    ++ticks_;
    std::lock_guard lock(stepMutex_);
    transition_.step(handed, final);
}

void FrameClock::advance(bool final) {
    const TransitionInfo info = transition_.describe();
    const std::int64_t duration = durationMs_ == -1 ? info.defaultMs : durationMs_;
    const bool priming = !final && frameFor(ticks_, duration, settings_.refreshHz, 1000) == 0;
    const int repeats = priming ? 3 : 1;
    for (int i = 0; i < repeats && !transition_.allDone(); ++i) advanceOnce(final);
    if (transition_.allDone()) {
        currentFrame_ = total_;
        finished_ = true;
    }
}

void FrameClock::advanceStepped() {
    std::lock_guard frame(engineFrameMutex());
    if (mode_ == ClockMode::Timed || finished_) return;
    paintedThisEvent_ = false;
    if (currentFrame_ < total_) {
        advance(false);
        if (!paintedThisEvent_) paintTime_ = settings_.now();
    } else {
        advance(true);
        finished_ = true;
    }
}

void FrameClock::timerEvent() {
    if (stopRequested_ || finished_) {
        finished_ = true;
        return;
    }
    std::lock_guard frame(engineFrameMutex());
    paintedThisEvent_ = false;
    bool painted = false;
    if (currentFrame_ < total_) {
        advance(false);
        if (!paintedThisEvent_) paintTime_ = settings_.now();
        painted = true;
    } else {
        advance(true);
        finished_ = true;
    }
    const double work = painted || paintedThisEvent_ ? settings_.now() - paintTime_ : 0.005;
    double delay = framePeriod_ - 0.003 - work;
    double ms = std::floor(delay * 1000);
    // A step longer than a frame period waits for a later refresh instead of
    // firing late; the progress arithmetic skips the frames in between.
    for (int guard = 0; ms < 1 && guard < 1000; ++guard) {
        delay += framePeriod_;
        ms = std::floor(delay * 1000);
    }
    if (ms < 1) ms = 1;
    if (!timer_->arm(static_cast<std::uint32_t>(std::min(ms, 1000.0)), [this] { timerEvent(); })) finished_ = true;
}

void FrameClock::markPainted() {
    paintedThisEvent_ = true;
    paintTime_ = settings_.now();
}

void FrameClock::repaint() {
    std::lock_guard lock(stepMutex_);
    transition_.repaint();
}

void FrameClock::stop() {
    if (!timer_) return;
    stopRequested_ = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(settings_.stopWaitSeconds);
    while (!finished_ && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    timer_->cancel();
    timer_.reset();
    finished_ = true;
}

}  // namespace lv
