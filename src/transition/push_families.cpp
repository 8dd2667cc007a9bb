// Pushes and split pushes: the incoming picture pushes the outgoing one out
// of the window, both moving together by the eased distance p (cube easing
// over the window's width or height). A split push cuts the window in two
// halves across the motion, which move in opposite directions.
//
// Both pictures move, so every frame copies the whole window; it copies it
// from the work surface (block_work.h), which holds the incoming picture's
// visible part in place of the outgoing picture's vanished part, so a frame
// reads one picture rather than parts of two.
#include <memory>

#include "transition/block_axes.h"
#include "transition/block_kind.h"
#include "transition/easing.h"
#include "transition/families.h"

namespace lv {

namespace {

using Source = BlockCommand::Source;

bool isVertical(Dir dir) { return dir == Dir::TB || dir == Dir::BT; }
// Left to right and top to bottom move forwards, along the axis.
bool isForward(Dir dir) { return dir == Dir::LR || dir == Dir::TB; }

class PushBase : public BlockTransition {
public:
    using BlockTransition::BlockTransition;

protected:
    void prepare() override {
        axis_.vertical = isVertical(row_.dir);
        info_.steps = axis_.extent(window_);
        info_.familyFlag4 = 0;
        table_ = symmetricEasing(info_.steps, EasingShape::Cube);
        useWork(workSplit());
    }
    // Where the work surface is split into bands of columns (0: not split).
    virtual std::int32_t workSplit() const { return 0; }

    // One band across the axis, [across0, across0 + acrossLength), pushed by p.
    void pushBand(Commands& out, bool forward, std::int32_t p, std::int32_t across0, std::int32_t acrossLength) const {
        // The incoming picture's visible part lies at its own place in the
        // work surface: its far end going forwards, its near end going back.
        const std::int32_t e = axis_.extent(window_);
        if (forward) {
            holdIncoming(out, axis_.rect(e - p, p, across0, acrossLength));
            take(out, Source::Work, axis_.rect(0, p, across0, acrossLength), axis_.dx(e - p), axis_.dy(e - p));
            take(out, Source::Work, axis_.rect(p, e - p, across0, acrossLength), axis_.dx(-p), axis_.dy(-p));
        } else {
            holdIncoming(out, axis_.rect(0, p, across0, acrossLength));
            take(out, Source::Work, axis_.rect(0, e - p, across0, acrossLength), axis_.dx(p), axis_.dy(p));
            take(out, Source::Work, axis_.rect(e - p, p, across0, acrossLength), axis_.dx(p - e), axis_.dy(p - e));
        }
    }

    std::int32_t across() const { return axis_.vertical ? window_.width : window_.height; }

    Axis axis_;
    std::vector<std::int32_t> table_;
};

class Push : public PushBase {
public:
    using PushBase::PushBase;

protected:
    void frame(std::int64_t t, Commands& out) override {
        pushBand(out, isForward(row_.dir), easedAt(table_, t), 0, across());
    }
};

class SplitPush : public PushBase {
public:
    using PushBase::PushBase;

protected:
    // The halves of a vertical split push read each row's two halves from
    // two different rows of the work surface: each half kept as a band of
    // its own is read front to back.
    std::int32_t workSplit() const override { return axis_.vertical ? window_.width / 2 : 0; }

    // The first half (upper, or left) moves in the named direction, the other half back.
    void frame(std::int64_t t, Commands& out) override {
        const std::int32_t p = easedAt(table_, t), half = across() / 2;
        pushBand(out, isForward(row_.dir), p, 0, half);
        pushBand(out, !isForward(row_.dir), p, half, across() - half);
    }
};

}  // namespace

TransitionPtr makePush(const CatalogueRow& row) { return std::make_unique<Push>(row); }
TransitionPtr makeSplitPush(const CatalogueRow& row) { return std::make_unique<SplitPush>(row); }

}  // namespace lv
