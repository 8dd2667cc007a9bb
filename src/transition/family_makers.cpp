// Which maker builds each family kind; kinds without one are not built yet
// (their entries are registered broken).
#include "transition/families.h"

namespace lv {

namespace {

struct KindMaker {
    Kind kind;
    FamilyMaker maker;
};

constexpr KindMaker kMakers[] = {
    {Kind::Blend, makeCrossFade},
    {Kind::None, makeNoTransition},
    {Kind::Push, makePush},
    {Kind::SplitPush, makeSplitPush},
    {Kind::Slide, makeSlide},
    {Kind::CornerSlide, makeCornerSlide},
    {Kind::DoubleSlide, makeDoubleSlide},
    {Kind::SlideClose, makeClosingSlide},
    {Kind::SlideOpen, makeOpeningSlide},
    {Kind::SlideCloseCorners, makeClosingCorners},
    {Kind::SlideOpenCorners, makeOpeningCorners},
    {Kind::Curtain, makeCurtain},
    {Kind::IntBars, makeInterlacedBars},
    {Kind::Paper, makePaperWipe},
    {Kind::Piece, makePieceTransition},
    {Kind::SpanMask, makeSpanMask},
};

}  // namespace

FamilyMaker familyMaker(Kind kind) {
    for (const KindMaker& entry : kMakers) {
        if (entry.kind == kind) return entry.maker;
    }
    return nullptr;
}

}  // namespace lv
