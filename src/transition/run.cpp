#include "transition/run.h"

#include "display/display.h"

namespace lv {

namespace {
constexpr int kBlendNumber = 171;
constexpr int kNoneNumber = 1;
}  // namespace

bool paintIncoming(const Surface& incoming, Display& display) {
    return showCentred(display, incoming.pixels.data(), incoming.width, incoming.height, incoming.stride);
}

int checkDisplay(Display& display) {
    std::lock_guard frame(engineFrameMutex());
    return display.check();
}

int TransitionRun::begin(Registry& registry, int index, TransitionPtr transition, std::int32_t durationMs) {
    const TransitionInfo info = transition->describe();
    transition->setParameters(clockParameters(info, durationMs));
    ClockSettings settings;
    settings.refreshHz = options_.refreshHz > 0 ? options_.refreshHz
                         : display_->outputs().empty() ? 75 : display_->outputs().front().refreshHz;
    settings.now = options_.now;
    settings.makeTimer = options_.makeTimer;
    auto clock = std::make_unique<FrameClock>(*transition, std::move(settings));
    const int result = transition->begin(*outgoing_, *incoming_, *display_, *clock);
    if (result != 0) {
        RegistryEntry& entry = registry.entries()[static_cast<std::size_t>(index)];
        entry.tried = true;
        if (result == 2) entry.broken = true;
        transition->end();
        return result;
    }
    transition_ = std::move(transition);
    clock_ = std::move(clock);
    entry_ = index;
    clock_->start(options_.mode, durationMs);
    return 0;
}

int TransitionRun::start(Registry& registry, const Surface& outgoing, const Surface& incoming, Display& display,
                         int index, std::int32_t durationMs, const RunOptions& options) {
    end();
    outgoing_ = &outgoing;
    incoming_ = &incoming;
    display_ = &display;
    options_ = options;
    RandomSource& random = options_.random != nullptr ? *options_.random : ownRandom_;
    registry.clearTried();
    checkDisplay(display);
    bool byIndex = index >= 0 && index < registry.size();
    int next = index;
    // Every failed attempt marks an entry tried, so the attempts are bounded.
    for (int attempt = 0; attempt <= registry.size() + 2; ++attempt) {
        int chosen = byIndex ? next : registry.chooseRandom(random);
        TransitionPtr transition = chosen >= 0 ? registry.createByIndex(chosen) : nullptr;
        if (!transition) {
            for (int number : {kBlendNumber, kNoneNumber}) {
                chosen = registry.findNumber(number);
                transition = chosen >= 0 ? registry.createByIndex(chosen) : nullptr;
                if (transition) break;
            }
            if (!transition) return -1;
            byIndex = true;
        }
        if (begin(registry, chosen, std::move(transition), durationMs) == 0) return 0;
        if (!byIndex) continue;
        const int failed = registry.entries()[static_cast<std::size_t>(chosen)].number();
        if (failed == kNoneNumber) return -1;
        next = registry.findNumber(failed != kBlendNumber ? kBlendNumber : kNoneNumber);
        if (next < 0) return -1;
    }
    return -1;
}

void TransitionRun::advance() {
    if (clock_) clock_->advanceStepped();
}

bool TransitionRun::finished() const { return !clock_ || clock_->finished(); }

void TransitionRun::repaint() {
    if (clock_) clock_->repaint();
}

void TransitionRun::end() {
    if (clock_) clock_->stop();
    if (transition_) transition_->end();
    clock_.reset();
    transition_.reset();
    entry_ = -1;
}

}  // namespace lv
