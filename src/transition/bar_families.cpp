// Curtains and interlaced bars: the incoming picture cut into horizontal
// bars of thickness T that slide in one after the other, each T steps after
// the one above (square easing). Curtain bars all come from one edge; the
// interlaced bars alternate, even bars from the left, odd ones from the right.
//
// Bar thickness: the client width / 25 for a negative bar parameter, else
// the client height / 160, at least 5 from a client height of 230 and at
// least 2 below it; never below 1, so tiny windows do not divide by zero.
#include <algorithm>
#include <memory>

#include "transition/block_kind.h"
#include "transition/easing.h"
#include "transition/families.h"

namespace lv {

namespace {

using Source = BlockCommand::Source;

std::int32_t barThickness(std::int32_t parameter, std::int32_t clientWidth, std::int32_t clientHeight) {
    std::int32_t t = parameter < 0 ? clientWidth / 25 : std::max(clientHeight / 160, clientHeight >= 230 ? 5 : 2);
    return std::max(t, 1);
}

class BarsBase : public BlockTransition {
public:
    using BlockTransition::BlockTransition;

protected:
    void setUpBars(std::int32_t parameter) {
        thickness_ = barThickness(parameter, clientWidth_, clientHeight_);
        count_ = (picture_.height + thickness_ - 1) / thickness_;
        if (count_ < 1) count_ = 1;
    }
    Rect barRows(std::int32_t i) const {
        const std::int32_t top = static_cast<std::int32_t>(std::int64_t{i} * picture_.height / count_);
        const std::int32_t bottom = static_cast<std::int32_t>(std::int64_t{i + 1} * picture_.height / count_);
        return Rect{0, picture_.top + top, 0, bottom - top};
    }
    std::int32_t delaySteps() const { return (count_ - 1) * thickness_; }

    // Bar i entering from the left (its right end leading) or the right.
    void barFromLeft(Commands& out, const Rect& rows, std::int32_t e) const {
        const std::int32_t end = picture_.right();
        take(out, Source::Incoming, Rect{0, rows.top, e, rows.height}, end - e, 0);
    }
    void barFromRight(Commands& out, const Rect& rows, std::int32_t e) const {
        const std::int32_t at = window_.width - e;
        take(out, Source::Incoming, Rect{at, rows.top, e, rows.height}, picture_.left - at, 0);
    }

    std::int32_t thickness_ = 1, count_ = 1;
};

class Curtain : public BarsBase {
public:
    using BarsBase::BarsBase;

protected:
    bool fromLeft() const { return row_.dir == Dir::LR; }
    void prepare() override {
        setUpBars(0);
        const std::int32_t margin = fromLeft() ? picture_.left : window_.width - picture_.right();
        travel_ = margin + picture_.width;
        table_ = symmetricEasing(travel_, EasingShape::Square);
        info_.steps = travel_ + delaySteps();
    }
    void frame(std::int64_t t, Commands& out) override {
        for (std::int32_t i = 0; i < count_; ++i) {
            const std::int64_t k = t - std::int64_t{i} * thickness_;
            if (k < 0) break;
            const std::int32_t e = easedAt(table_, std::min<std::int64_t>(k, travel_));
            if (fromLeft()) {
                barFromLeft(out, barRows(i), e);
            } else {
                barFromRight(out, barRows(i), e);
            }
        }
    }

    std::int32_t travel_ = 0;
    std::vector<std::int32_t> table_;
};

class InterlacedBars : public BarsBase {
public:
    using BarsBase::BarsBase;

protected:
    void prepare() override {
        setUpBars(row_.parameter);
        evenTravel_ = picture_.right();
        oddTravel_ = window_.width - picture_.left;
        evenTable_ = symmetricEasing(evenTravel_, EasingShape::Square);
        oddTable_ = symmetricEasing(oddTravel_, EasingShape::Square);
        info_.steps = std::max(evenTravel_, oddTravel_) + delaySteps();
    }
    void frame(std::int64_t t, Commands& out) override {
        for (std::int32_t i = 0; i < count_; ++i) {
            const std::int64_t k = t - std::int64_t{i} * thickness_;
            if (k < 0) break;
            if (i % 2 == 0) {
                barFromLeft(out, barRows(i), easedAt(evenTable_, std::min<std::int64_t>(k, evenTravel_)));
            } else {
                barFromRight(out, barRows(i), easedAt(oddTable_, std::min<std::int64_t>(k, oddTravel_)));
            }
        }
    }

    std::int32_t evenTravel_ = 0, oddTravel_ = 0;
    std::vector<std::int32_t> evenTable_, oddTable_;
};

}  // namespace

TransitionPtr makeCurtain(const CatalogueRow& row) { return std::make_unique<Curtain>(row); }
TransitionPtr makeInterlacedBars(const CatalogueRow& row) { return std::make_unique<InterlacedBars>(row); }

}  // namespace lv
