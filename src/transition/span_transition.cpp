#include "transition/span_transition.h"

#include <algorithm>
#include <cmath>

#include "display/display.h"
#include "transition/frame_painter.h"
#include "transition/set_painter.h"

namespace lv {

SpanMaskTransition::SpanMaskTransition(const SpanFamily& family, const CatalogueRow& row) : family_(family) {
    info_.defaultMs = family.defaultMs;
    info_.steps = 1;
    info_.familyFlag2 = family.flag;
    info_.secondPass = family.alternate;
    info_.familyFlag4 = family.flag4;
    info_.passMode = family.passMode;
    info_.extraSteps = std::max<std::int32_t>(family.band, 0);
    info_.familyValue = family.reverse ? 1 : 0;
    info_.variant2 = row.variant == 2 ? 1 : 0;
}

int SpanMaskTransition::begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) {
    source_ = SetSource{&outgoing, &incoming};
    if (!source_.valid() || incoming.width <= 0 || incoming.height <= 0) return 2;
    display_ = &display;
    sink_ = &sink;
    display.setView(Rect{0, 0, incoming.width, incoming.height});

    SpanBuild build;
    build.source = source_;
    build.width = incoming.width;
    build.height = incoming.height;
    build.clientWidth = display.clientWidth() > 0 ? display.clientWidth() : incoming.width;
    build.clientHeight = display.clientHeight() > 0 ? display.clientHeight() : incoming.height;
    build.settings = spanMaskSettings();
    build.claims = ClaimMap(incoming.width, incoming.height);
    build.info = info_;
    build.family = &family_;
    if (family_.build(build) != 0) return 2;
    sets_ = std::move(build.sets);
    info_ = build.info;
    info_.steps = std::max<std::int32_t>(static_cast<std::int32_t>(sets_.size()), 1);
    bandWidth_ = std::max(info_.extraSteps, 0);
    bandTiming_ = build.settings.bandTiming;

    std::vector<PixelSet*> all;
    all.reserve(sets_.size());
    for (PixelSet& set : sets_) all.push_back(&set);
    fetchValues(source_, all);
    findUncovered();
    computeFrameMap(build.angles, build.sweep);

    previous_ = 0;
    steps_.clear();
    paintedSteps_ = 0;
    havePending_ = false;
    needFull_ = true;
    begun_ = true;
    finished_ = false;
    setParameters(parameters_);
    return 0;
}

void SpanMaskTransition::end() {
    sets_.clear();
    begun_ = false;
}

void SpanMaskTransition::setParameters(const ClockParameters& parameters) {
    parameters_ = parameters;
    if (!begun_) return;
    ScheduleShape shape;
    shape.sets = static_cast<std::int32_t>(sets_.size());
    shape.passes = std::max(parameters.passes, 1);
    shape.alternate = parameters.secondPassOffset != 0;
    shape.reverse = parameters.familyValue != 0;
    shape.bandWidth = bandWidth_;
    shape.bandTiming = bandTiming_;
    schedule_ = SpanSchedule(shape);
}

void SpanMaskTransition::findUncovered() {
    const std::int32_t w = source_.width(), h = source_.height();
    std::vector<std::uint8_t> covered(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (const PixelSet& set : sets_) {
        std::size_t k = 0;
        for (std::int32_t y = 0; y < set.rowCount() && y < h; ++y) {
            std::uint8_t* row = covered.data() + static_cast<std::size_t>(y) * w;
            for (std::uint16_t n = 0; n < set.rowCounts[y]; ++n) row[set.pixels[k++].x] = 1;
        }
    }
    std::vector<PointValue> gaps;
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* row = covered.data() + static_cast<std::size_t>(y) * w;
        for (std::int32_t x = 0; x < w; ++x) {
            if (row[x] == 0) gaps.push_back(PointValue{x, y, source_.outgoing->row(y)[x], source_.incoming->row(y)[x]});
        }
    }
    uncovered_ = setFromPoints(source_, std::move(gaps));
}

void SpanMaskTransition::computeFrameMap(const std::vector<double>& angles, double sweep) {
    frameMap_.clear();
    const std::size_t n = sets_.size();
    if (angles.size() != n || n == 0 || sweep <= 0) return;
    frameMap_.resize(n);
    std::size_t line = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double wanted = static_cast<double>(i) * sweep / static_cast<double>(n);
        while (line < n && angles[line] < wanted) ++line;
        frameMap_[i] = static_cast<std::int64_t>(std::min(line, n - 1));
    }
}

std::optional<std::int64_t> SpanMaskTransition::mapFrame(std::int64_t frame) const {
    if (frameMap_.empty() || frame < 0) return std::nullopt;
    const std::int64_t n = static_cast<std::int64_t>(frameMap_.size());
    return frame / n * n + frameMap_[static_cast<std::size_t>(frame % n)];
}

std::vector<SetEntry> SpanMaskTransition::setsForStep(std::int64_t p, std::int64_t t) {
    std::vector<SetEntry> entries;
    schedule_.forStep(p, t, entries);
    return entries;
}

bool SpanMaskTransition::paintEntries(const std::vector<SetEntry>& entries, bool withUncovered) {
    std::vector<const PixelSet*> list;
    list.reserve(entries.size() + 1);
    for (const SetEntry& entry : entries) {
        PixelSet& set = sets_[static_cast<std::size_t>(entry.set)];
        set.mode = entry.mode;
        set.level = entry.level;
        set.colour = 0;
        list.push_back(&set);
    }
    if (withUncovered && !uncovered_.pixels.empty()) list.push_back(&uncovered_);
    if (!paintSets(std::move(list), *display_, 0, 0)) return false;
    sink_->markPainted();
    return true;
}

void SpanMaskTransition::paintReplay(std::size_t steps, bool withUncovered) {
    {
        FramePainter painter(*display_);
        if (!painter.locked()) {
            needFull_ = true;
            return;
        }
        painter.copy(*source_.outgoing, Rect{0, 0, source_.width(), source_.height()}, 0, 0);
    }
    // Every set takes the state of the last step that painted it.
    std::vector<SetEntry> state(sets_.size(), SetEntry{-1});
    std::vector<SetEntry> entries;
    std::int64_t p = 0;
    for (std::size_t i = 0; i < steps && i < steps_.size(); ++i) {
        schedule_.forStep(p, steps_[i], entries);
        for (const SetEntry& entry : entries) state[static_cast<std::size_t>(entry.set)] = entry;
        p = steps_[i];
    }
    std::erase_if(state, [](const SetEntry& entry) { return entry.set < 0; });
    needFull_ = !paintEntries(state, withUncovered);
}

void SpanMaskTransition::computeStep(std::int64_t t) {
    t = std::max(t, previous_);
    schedule_.forStep(previous_, t, entries_);
    steps_.push_back(t);
    previous_ = t;
}

void SpanMaskTransition::paintPending() {
    if (!havePending_) return;
    havePending_ = false;
    if (needFull_ || !paintEntries(entries_, false)) paintReplay(steps_.size(), false);
    paintedSteps_ = steps_.size();
}

void SpanMaskTransition::step(std::int64_t t, bool final) {
    if (!begun_) return;
    paintPending();
    if (final) {
        finish();
        return;
    }
    computeStep(t);  // painted by the next call
    havePending_ = true;
}

void SpanMaskTransition::finish() {
    // Whatever slots the clock skipped at the end, and the pixels no set covers.
    const std::int64_t lead = bandTiming_ ? bandWidth_ : 0;
    finished_ = true;
    computeStep(schedule_.slots() + lead);
    if (entries_.empty() && uncovered_.pixels.empty() && !needFull_) return;
    if (needFull_ || !paintEntries(entries_, true)) paintReplay(steps_.size(), true);
    paintedSteps_ = steps_.size();
}

void SpanMaskTransition::repaint() {
    if (!begun_) return;
    paintReplay(paintedSteps_, finished_);
}

}  // namespace lv
