// Paper wipes: the outgoing picture is rolled up like a sheet of paper from
// one edge, uncovering the incoming picture behind it. The roll is a band of
// width c just behind the fold line; it shows the sheet's next 2c positions
// mirrored and squeezed (every second line), as the curled paper would, with
// a one-line shadow on its uncovered side. The fold moves at constant speed
// (no easing) from the near edge until the roll has left the window.
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

    void frame(std::int64_t t, Commands& out) override {
        const std::int32_t fold = static_cast<std::int32_t>(std::min<std::int64_t>(t, extent_ + roll_ + 1));
        const std::int32_t rollStart = std::max(0, fold - roll_);
        // Uncovered: the incoming picture up to the roll, with its shadow line.
        const std::int32_t shadow = std::max(0, rollStart - 1);
        if (shadow > 0) take(out, Source::Incoming, span(0, shadow), 0, 0);
        if (rollStart > 0 && shadow < extent_) black(out, span(shadow, std::min(rollStart, extent_)));
        // The roll: line j behind the fold shows the sheet's line fold + 2j.
        for (std::int32_t p = rollStart; p < std::min(fold, extent_); ++p) {
            const std::int32_t j = fold - 1 - p;
            const std::int32_t source = fold + 2 * j;
            if (source >= extent_) {
                take(out, Source::Incoming, span(p, p + 1), 0, 0);
                continue;
            }
            const std::int32_t shift = at(source) - at(p);
            take(out, Source::Outgoing, span(p, p + 1), axis_.dx(shift), axis_.dy(shift));
        }
    }

    Axis axis_;
    std::int32_t extent_ = 0, roll_ = 1, across_ = 0;
};

}  // namespace

TransitionPtr makePaperWipe(const CatalogueRow& row) { return std::make_unique<PaperWipe>(row); }

}  // namespace lv
