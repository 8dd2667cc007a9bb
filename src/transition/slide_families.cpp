// Slides: the incoming picture moves in over the outgoing one, which stays
// (or, for the opening slides, the outgoing picture's halves move out over
// the incoming one). Straight slides enter from one edge, corner slides
// diagonally from a corner, double slides as two halves from opposite edges;
// closing slides bring the incoming halves in from both edges to meet in the
// middle, opening slides part the outgoing halves from the middle outwards,
// and their corner forms do both axes at once on quarters.
//
// Geometry: W x H is the window, the incoming picture lies at (ox, oy) with
// size w x h. Positions come from the cube easing tables (symmetric for the
// slides, accelerating for the closing and opening ones).
#include <algorithm>
#include <memory>
#include <utility>

#include "transition/block_axes.h"
#include "transition/block_kind.h"
#include "transition/easing.h"
#include "transition/families.h"

namespace lv {

namespace {

using Source = BlockCommand::Source;

bool isVertical(Dir dir) { return dir == Dir::TB || dir == Dir::BT || dir == Dir::V; }
bool isForward(Dir dir) { return dir == Dir::LR || dir == Dir::TB; }

class SlideBase : public BlockTransition {
public:
    using BlockTransition::BlockTransition;

protected:
    // Along the axis: window extent E, picture start o and length e; across:
    // the picture's start and length.
    std::int32_t extentAlong() const { return axis_.extent(window_); }
    std::int32_t pictureStart() const { return axis_.start(picture_); }
    std::int32_t pictureLength() const { return axis_.extent(picture_); }
    std::int32_t acrossStart() const { return axis_.vertical ? picture_.left : picture_.top; }
    std::int32_t acrossLength() const { return axis_.vertical ? picture_.width : picture_.height; }

    Axis axis_;
    std::vector<std::int32_t> table_;
};

// "ssSlideLR" and its kin: from the near edge the picture's far end leads.
class Slide : public SlideBase {
public:
    using SlideBase::SlideBase;

protected:
    void prepare() override {
        axis_.vertical = isVertical(row_.dir);
        const std::int32_t margin = isForward(row_.dir) ? pictureStart() : extentAlong() - pictureStart() - pictureLength();
        info_.steps = pictureLength() + margin;
        table_ = symmetricEasing(info_.steps, EasingShape::Cube);
    }
    void frame(std::int64_t t, Commands& out) override {
        const std::int32_t p = easedAt(table_, t), o = pictureStart(), e = pictureLength(), E = extentAlong();
        const std::int32_t at = isForward(row_.dir) ? 0 : E - p;
        const std::int32_t from = isForward(row_.dir) ? o + e - p : o;
        take(out, Source::Incoming, axis_.rect(at, p, acrossStart(), acrossLength()), axis_.dx(from - at), axis_.dy(from - at));
    }
};

// "ssSlideLT", "ssSlideRT", "ssSlideLB", "ssSlideRB": diagonally from a corner.
class CornerSlide : public SlideBase {
public:
    using SlideBase::SlideBase;

protected:
    bool fromRight() const { return row_.dir == Dir::RT || row_.dir == Dir::RB; }
    bool fromBottom() const { return row_.dir == Dir::LB || row_.dir == Dir::RB; }

    void prepare() override {
        const std::int32_t mx = fromRight() ? window_.width - picture_.right() : picture_.left;
        const std::int32_t my = fromBottom() ? window_.height - picture_.bottom() : picture_.top;
        ww_ = picture_.width + mx;
        wh_ = picture_.height + my;
        info_.steps = std::max(ww_, wh_);
        table_ = symmetricEasing(info_.steps, EasingShape::Cube);
    }
    void frame(std::int64_t t, Commands& out) override {
        const std::int32_t p = easedAt(table_, t);
        const std::int32_t px = ww_ < wh_ ? static_cast<std::int32_t>(std::int64_t{ww_} * p / std::max(wh_, 1)) : p;
        const std::int32_t py = ww_ < wh_ ? p : static_cast<std::int32_t>(std::int64_t{wh_} * p / std::max(ww_, 1));
        // Work columns (from the picture's far side when entering from the
        // left or top) and where they land in the window.
        const std::int32_t workX = fromRight() ? 0 : ww_ - px, workY = fromBottom() ? 0 : wh_ - py;
        const std::int32_t atX = fromRight() ? window_.width - px : 0, atY = fromBottom() ? window_.height - py : 0;
        const std::int32_t baseX = fromRight() ? picture_.left : 0, baseY = fromBottom() ? picture_.top : 0;
        take(out, Source::Incoming, Rect{atX, atY, px, py}, workX + baseX - atX, workY + baseY - atY);
    }

    std::int32_t ww_ = 0, wh_ = 0;
};

// "ssDSlideLR" and kin: two halves of the incoming picture from opposite edges.
class DoubleSlide : public SlideBase {
public:
    using SlideBase::SlideBase;

protected:
    void prepare() override {
        axis_.vertical = isVertical(row_.dir);
        a_ = pictureStart();
        b_ = extentAlong() - pictureStart() - pictureLength();
        info_.steps = pictureLength() + std::max(a_, b_);
        table_ = symmetricEasing(info_.steps, EasingShape::Cube);
    }
    void frame(std::int64_t t, Commands& out) override {
        const std::int32_t p = easedAt(table_, t), q = p + a_ - b_, o = pictureStart(), e = pictureLength();
        const std::int32_t E = extentAlong(), half = acrossLength() / 2;
        // The first half across (upper, or left) enters from the near edge for
        // "LR"/"TB", from the far edge for the reversed ones.
        const bool firstFromNear = isForward(row_.dir);
        const std::int32_t nearStart = firstFromNear ? acrossStart() : acrossStart() + half;
        const std::int32_t nearLength = firstFromNear ? half : acrossLength() - half;
        const std::int32_t farStart = firstFromNear ? acrossStart() + half : acrossStart();
        const std::int32_t farLength = firstFromNear ? acrossLength() - half : half;
        if (q > 0) {
            const std::int32_t shift = o + e - q;
            take(out, Source::Incoming, axis_.rect(0, q, nearStart, nearLength), axis_.dx(shift), axis_.dy(shift));
        }
        if (p > 0) {
            const std::int32_t shift = o - (E - p);
            take(out, Source::Incoming, axis_.rect(E - p, p, farStart, farLength), axis_.dx(shift), axis_.dy(shift));
        }
    }

    std::int32_t a_ = 0, b_ = 0;
};

// The axis segments of one frame of the closing and opening slides, and how
// they combine: a cell of two segments shows the incoming picture, the
// outgoing picture (moved, within its own part) or nothing new.
class OpenCloseBase : public SlideBase {
public:
    OpenCloseBase(const CatalogueRow& row, bool opening, bool corners) : SlideBase(row), opening_(opening), corners_(corners) {}

protected:
    void prepare() override {
        axis_.vertical = isVertical(row_.dir);
        const std::int32_t ax = (window_.width + 1) / 2, ay = (window_.height + 1) / 2;
        info_.steps = corners_ ? std::max(ax, ay) : (extentAlong() + 1) / 2;
        table_ = acceleratingEasing(info_.steps, EasingShape::Cube);
    }

    void frame(std::int64_t t, Commands& out) override {
        const Cuts now = cutsAt(t);
        draw(out, now.xs, now.ys);
    }

    // An opening frame over an earlier one: the incoming picture already
    // shown in that frame's middle stays where it is (the middle only
    // grows), so only the newly opened middle and the moved halves are drawn;
    // while the position has not moved, nothing is.
    bool frameSince(std::int64_t t, std::int64_t since, Commands& out) override {
        if (!opening_ || since < 0) {
            frame(t, out);
            return false;
        }
        // The same position is the same picture: nothing to draw.
        if (easedAt(table_, t) == easedAt(table_, since)) return true;
        const Cuts now = cutsAt(t), before = cutsAt(since);
        draw(out, markShown(now.xs, before.middleX.first, before.middleX.second),
             markShown(now.ys, before.middleY.first, before.middleY.second));
        return true;
    }

private:
    std::vector<Segment> segments(std::int32_t extent, std::int32_t start, std::int32_t length, std::int32_t p) const {
        return opening_ ? openingSegments(extent, start, length, p) : closingSegments(extent, p);
    }

    // The segments of both axes at frame t, and the middle stretch of each
    // (empty when none).
    struct Cuts {
        std::vector<Segment> xs, ys;
        std::pair<std::int32_t, std::int32_t> middleX{0, 0}, middleY{0, 0};
    };
    Cuts cutsAt(std::int64_t t) const {
        const std::int32_t p = easedAt(table_, t);
        Cuts cuts;
        if (corners_) {
            const std::int32_t ax = (window_.width + 1) / 2, ay = (window_.height + 1) / 2;
            const std::int32_t px = ax >= ay ? p : static_cast<std::int32_t>(std::int64_t{ax} * p / std::max(ay, 1));
            const std::int32_t py = ax >= ay ? static_cast<std::int32_t>(std::int64_t{ay} * p / std::max(ax, 1)) : p;
            cuts.xs = segments(window_.width, outgoingPicture_.left, outgoingPicture_.width, px);
            cuts.ys = segments(window_.height, outgoingPicture_.top, outgoingPicture_.height, py);
        } else if (axis_.vertical) {
            cuts.xs = {stillSegment(picture_.left, picture_.width)};
            cuts.ys = segments(window_.height, outgoingPicture_.top, outgoingPicture_.height, p);
        } else {
            cuts.xs = segments(window_.width, outgoingPicture_.left, outgoingPicture_.width, p);
            cuts.ys = {stillSegment(picture_.top, picture_.height)};
        }
        cuts.middleX = middleOf(cuts.xs);
        cuts.middleY = middleOf(cuts.ys);
        return cuts;
    }
    static std::pair<std::int32_t, std::int32_t> middleOf(const std::vector<Segment>& segments) {
        for (const Segment& s : segments) {
            if (s.part == Segment::Part::Middle) return {s.start, s.start + s.length};
        }
        return {0, 0};
    }

    void draw(Commands& out, const std::vector<Segment>& xs, const std::vector<Segment>& ys) const {
        for (const Segment& y : ys) {
            for (const Segment& x : xs) cell(out, x, y);
        }
    }

    void cell(Commands& out, const Segment& x, const Segment& y) const {
        const Rect destination{x.start, y.start, x.length, y.length};
        const bool middle = x.part == Segment::Part::Middle || y.part == Segment::Part::Middle;
        if (opening_) {
            if (x.shown || y.shown) return;  // the incoming picture, already on the display
            if (middle) {
                take(out, Source::Incoming, destination, 0, 0);
            } else {
                takeWithin(out, Source::Outgoing, destination, x.shift, y.shift,
                           Rect{x.limitStart, y.limitStart, x.limitLength, y.limitLength});
            }
        } else if (!middle) {
            take(out, Source::Incoming, destination, x.shift, y.shift);
        }
    }

    bool opening_, corners_;
};

}  // namespace

TransitionPtr makeSlide(const CatalogueRow& row) { return std::make_unique<Slide>(row); }
TransitionPtr makeCornerSlide(const CatalogueRow& row) { return std::make_unique<CornerSlide>(row); }
TransitionPtr makeDoubleSlide(const CatalogueRow& row) { return std::make_unique<DoubleSlide>(row); }
TransitionPtr makeClosingSlide(const CatalogueRow& row) { return std::make_unique<OpenCloseBase>(row, false, false); }
TransitionPtr makeOpeningSlide(const CatalogueRow& row) { return std::make_unique<OpenCloseBase>(row, true, false); }
TransitionPtr makeClosingCorners(const CatalogueRow& row) { return std::make_unique<OpenCloseBase>(row, false, true); }
TransitionPtr makeOpeningCorners(const CatalogueRow& row) { return std::make_unique<OpenCloseBase>(row, true, true); }

}  // namespace lv
