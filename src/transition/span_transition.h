// The span-mask kind: transitions that reveal the incoming picture set by set
// (wipes, circles, radar sweeps, dissolves, mask pictures). A family only
// builds its ordered pixel sets once, when the run begins; this one
// mechanism schedules them (span_schedule.h), paints the sets of each step
// straight from their records (set_painter.h), repaints and ends them all.
//
//     TransitionPtr t = makeSpanMask(catalogueRow);   // by the catalogue's name
//     // begin -> family builds sets -> values fetched in one batch
//     // step(t) paints the sets of the slots since the previous frame
//
// Steps are pipelined: a call for frame t paints the sets computed by the
// previous call, then computes frame t; the final call paints what is
// pending and then every pixel that no set covers, so the last frame is the
// incoming picture exactly. A repaint (or the first step, or the step after
// a lock that gave nothing) lays the outgoing picture and replays every
// painted step, so it shows exactly what incremental painting showed.
//
// begin results: 0 ready; 2 when the surfaces differ in size or a mask
// picture cannot be had (the entry is then marked broken).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "transition/catalogue.h"
#include "transition/span_mask.h"
#include "transition/span_schedule.h"
#include "transition/span_settings.h"
#include "transition/transition.h"

namespace lv {

struct SpanFamily;

// What a family's builder gets and fills.
struct SpanBuild {
    SetSource source;
    std::int32_t width = 0, height = 0;             // the picture (the whole surface)
    std::int32_t clientWidth = 0, clientHeight = 0; // the window
    SpanMaskSettings settings;
    ClaimMap claims{0, 0};
    TransitionInfo info;                            // pre-filled from the family row
    std::vector<PixelSet> sets;                     // schedule order
    // Sweeps (radar, fans): each set's angle and the angle of a whole pass;
    // the frame map then turns at an even angular speed.
    std::vector<double> angles;
    double sweep = 0;
    const SpanFamily* family = nullptr;

    // Column, row and rectangle sets (no claim map) and the claiming builders;
    // values are fetched later in one batch.
    void column(std::int32_t x, std::int32_t y, std::int32_t n) { sets.push_back(columnSet(source, x, y, n, false)); }
    void row(std::int32_t y, std::int32_t x, std::int32_t n) { sets.push_back(rowSet(source, y, x, n, false)); }
    void line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        sets.push_back(lineSet(source, x0, y0, x1, y1, claims, false));
    }
};

// Builds the sets and sets info.steps (and any value the family computes);
// 0, or 2 when the family cannot be had.
using SpanBuilder = int (*)(SpanBuild& build);

// One transition of the kind: its name, builder and information-record values.
struct SpanFamily {
    std::string_view name;
    SpanBuilder build;
    bool reverse;               // place 7: runs the order backwards
    std::int16_t defaultMs;     // place 0
    std::int8_t passMode;       // place 5
    std::int8_t flag;           // place 2
    std::int8_t alternate;      // place 3: the second pass runs backwards
    std::int8_t flag4;          // place 4
    std::int16_t band;          // band width and extra steps (place 6); builders may compute it
    std::string_view mask;      // mask-picture families: the mask name
    std::int16_t rotation;      // mask-picture families: quarter turn of the mask
};

class SpanMaskTransition : public Transition {
public:
    SpanMaskTransition(const SpanFamily& family, const CatalogueRow& row);

    int begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) override;
    void end() override;
    TransitionInfo describe() const override { return info_; }
    void step(std::int64_t frame, bool final) override;
    void setParameters(const ClockParameters& parameters) override;
    std::optional<std::int64_t> mapFrame(std::int64_t frame) const override;
    void repaint() override;

    // For tests and the tool: the sets in schedule order, the band width, and
    // the sets of the step from frame p to frame t.
    const std::vector<PixelSet>& sets() const { return sets_; }
    std::int32_t bandWidth() const { return bandWidth_; }
    std::vector<SetEntry> setsForStep(std::int64_t p, std::int64_t t);

private:
    void computeFrameMap(const std::vector<double>& angles, double sweep);
    void findUncovered();
    void computeStep(std::int64_t t);
    void paintPending();
    // Paints the entries' sets (and the pixels no set covers); false when the lock gave nothing.
    bool paintEntries(const std::vector<SetEntry>& entries, bool withUncovered);
    void paintReplay(std::size_t steps, bool withUncovered);
    void finish();

    const SpanFamily& family_;
    TransitionInfo info_;
    SetSource source_;
    Display* display_ = nullptr;
    StepSink* sink_ = nullptr;
    std::vector<PixelSet> sets_;
    std::vector<std::int64_t> frameMap_;   // per frame of a pass: the first set at its angle
    std::int32_t bandWidth_ = 0;
    bool bandTiming_ = false;
    SpanSchedule schedule_;
    std::vector<SetEntry> entries_;        // the sets of the last computed step
    bool havePending_ = false;
    bool needFull_ = true;
    std::int64_t previous_ = 0;            // frame reached by the last computed step
    std::vector<std::int64_t> steps_;      // the frame each computed step reached, in order
    std::size_t paintedSteps_ = 0;         // how many of them the display shows
    PixelSet uncovered_;                   // pixels no set covers: shown by the final step
    bool begun_ = false;
    bool finished_ = false;
};

// The maker of the kind: picks the family by the catalogue row's name.
TransitionPtr makeSpanMask(const CatalogueRow& row);

// The family rows, for tests.
const SpanFamily* findSpanFamily(std::string_view name);

}  // namespace lv
