// Paper wipes: the outgoing picture is rolled up like a sheet of paper from
// one edge, uncovering the incoming picture behind it. The roll is a band of
// width c just behind the fold line; it shows the sheet's next 2c positions
// mirrored and squeezed (every second line), as the curled paper would, with
// a one-line shadow on its uncovered side. The fold moves at constant speed
// (no easing) from the near edge until the roll has left the window.
//
// The uncovered part only grows, so a frame draws the incoming picture only
// where it was uncovered since the frame on the display, then the shadow
// line and the roll; the roll is one mirrored command that takes every
// second line of the sheet.
#include <algorithm>
#include <memory>

#include "transition/block_axes.h"
#include "transition/block_kind.h"
#include "transition/families.h"

namespace lv {

namespace {

using Source = BlockCommand::Source;

class PaperWipe : public BlockTransition {
public:
    using BlockTransition::BlockTransition;

protected:
    bool forward() const { return row_.dir == Dir::LR || row_.dir == Dir::TB; }

    void prepare() override {
        axis_.vertical = row_.dir == Dir::TB || row_.dir == Dir::BT;
        extent_ = axis_.extent(window_);
        roll_ = std::max(1, extent_ / 12);
        across_ = axis_.vertical ? window_.width : window_.height;
        info_.steps = extent_ + roll_ + 1;
    }

    // Positions are counted from the edge the sheet is rolled from; `at`
    // turns them into window positions.
    std::int32_t at(std::int32_t position) const { return forward() ? position : extent_ - 1 - position; }

    // Window positions [from, to) in rolled coordinates, as a rectangle.
    Rect span(std::int32_t from, std::int32_t to) const {
        const std::int32_t lo = forward() ? from : extent_ - to;
        return axis_.rect(lo, to - from, 0, across_);
    }

    std::int32_t foldAt(std::int64_t t) const {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(t, 0, extent_ + roll_ + 1));
    }
    // Lines before the shadow line show the incoming picture.
    std::int32_t uncovered(std::int32_t fold) const { return std::max(0, std::max(0, fold - roll_) - 1); }

    void frame(std::int64_t t, Commands& out) override { frameSince(t, kOutgoingShown, out); }

    bool frameSince(std::int64_t t, std::int64_t since, Commands& out) override {
        const std::int32_t fold = foldAt(t);
        const std::int32_t rollStart = std::max(0, fold - roll_);
        const std::int32_t shadow = uncovered(fold);
        const std::int32_t from = since >= 0 ? std::min(uncovered(foldAt(since)), shadow) : 0;
        if (shadow > from) take(out, Source::Incoming, span(from, shadow), 0, 0);
        if (rollStart > 0 && shadow < extent_) black(out, span(shadow, std::min(rollStart, extent_)));
        roll(out, fold, rollStart);
        return true;
    }

    // Line p of the roll (rollStart <= p < fold) shows the sheet's line
    // 3 x fold - 2 - 2p; lines whose sheet line lies beyond the far edge
    // show the incoming picture.
    void roll(Commands& out, std::int32_t fold, std::int32_t rollStart) const {
        const std::int32_t rollEnd = std::min(fold, extent_);
        if (rollEnd <= rollStart) return;
        const std::int32_t beyond = 3 * fold - 2 - extent_;  // sheet line >= extent while 2p <= beyond
        const std::int32_t firstSheet = std::clamp(beyond >= 0 ? beyond / 2 + 1 : rollStart, rollStart, rollEnd);
        if (firstSheet > rollStart) take(out, Source::Incoming, span(rollStart, firstSheet), 0, 0);
        if (firstSheet == rollEnd) return;
        // The window's first line of the span is p = firstSheet going forward,
        // p = rollEnd - 1 going back; either way the sheet runs back two lines
        // per window line.
        const std::int32_t first = forward() ? firstSheet : rollEnd - 1;
        const Rect destination = span(firstSheet, rollEnd);
        BlockCommand command{Source::Outgoing, destination, destination.left, destination.top};
        const std::int32_t sheet = at(3 * fold - 2 - 2 * first);
        (axis_.vertical ? command.sourceY : command.sourceX) = sheet;
        (axis_.vertical ? command.stepY : command.stepX) = -2;
        out.push_back(command);
    }

    Axis axis_;
    std::int32_t extent_ = 0, roll_ = 1, across_ = 0;
};

}  // namespace

TransitionPtr makePaperWipe(const CatalogueRow& row) { return std::make_unique<PaperWipe>(row); }

}  // namespace lv
