// The span-mask transitions as data: for each, the builder of its sets and
// the values of its information record. A reverse row is its partner's sets
// in the opposite order; a "2" row is the same family run in two passes
// where its pass mode allows. A band of -1 is computed by the builder (the
// blinds and billboards lead by one strip's worth of steps).
#include "transition/span_builders.h"

namespace lv {

namespace {

using namespace spans;

// name, builder, reverse, default ms, pass mode, flag, alternate, place 4, band, mask, rotation
constexpr SpanFamily kFamilies[] = {
    {"ssWipeLR", wipeColumns, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeLR2", wipeColumns, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeRL", wipeColumns, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeRL2", wipeColumns, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeTB", wipeRows, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeTB2", wipeRows, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeBT", wipeRows, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssWipeBT2", wipeRows, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssDoubleWipeLRRL", doubleWipeColumns, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeLRRL2", doubleWipeColumns, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeRLLR", doubleWipeColumns, true, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeRLLR2", doubleWipeColumns, true, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeTBBT", doubleWipeRows, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeTBBT2", doubleWipeRows, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeBTTB", doubleWipeRows, true, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDoubleWipeBTTB2", doubleWipeRows, true, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssCloseH", closeColumns, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssCloseH2", closeColumns, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssOpenH", closeColumns, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssOpenH2", closeColumns, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssCloseV", closeRows, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssCloseV2", closeRows, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssOpenV", closeRows, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssOpenV2", closeRows, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssBlinds", blinds, false, 1500, 2, 0, 0, 1, -1, {}, 0},
    {"ssBlinds2", blinds, false, 1500, 2, 0, 0, 1, -1, {}, 0},
    {"ssMBlindsTB", movingBlinds, false, 1500, 1, 0, 0, 1, 0, {}, 0},
    {"ssMBlindsBT", movingBlinds, true, 1500, 1, 0, 0, 1, 0, {}, 0},
    {"ssWipeLTRB", diagonalTopLeft, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeLTRB2", diagonalTopLeft, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeRBLF", diagonalTopLeft, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeRBLF2", diagonalTopLeft, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeLBRT", diagonalBottomLeft, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeLBRT2", diagonalBottomLeft, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeRTLB", diagonalBottomLeft, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeRTLB2", diagonalBottomLeft, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDIULLR", diagonalTopLeftBottomRight, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDIULLR2", diagonalTopLeftBottomRight, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDOULLR", diagonalTopLeftBottomRight, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDOULLR2", diagonalTopLeftBottomRight, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDILLUR", diagonalBottomLeftTopRight, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDILLUR2", diagonalBottomLeftTopRight, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDOLLUR", diagonalBottomLeftTopRight, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssWipeDOLLUR2", diagonalBottomLeftTopRight, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssCircleOut", circles, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssCircleOut2", circles, false, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssCircleIn", circles, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssCircleIn2", circles, true, 2000, 4, 1, 1, 1, 2, {}, 0},
    {"ssCircleOutInt", circlesInterleaved, false, 2000, 1, 0, 0, 1, 0, {}, 0},
    {"ssRectOut", rectangles, false, 2000, 4, 1, 1, 1, 8, {}, 0},
    {"ssRectOut2", rectangles, false, 2000, 4, 1, 1, 1, 8, {}, 0},
    {"ssRectIn", rectangles, true, 2000, 4, 1, 1, 1, 8, {}, 0},
    {"ssRectIn2", rectangles, true, 2000, 4, 1, 1, 1, 8, {}, 0},
    {"ssCornerOut", corners, false, 2000, 1, 1, 1, 1, 8, {}, 0},
    {"ssCornerIn", corners, true, 2000, 1, 1, 1, 1, 8, {}, 0},
    {"ssDiamond", diamonds, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDiamond2", diamonds, false, 2000, 2, 1, 1, 1, 4, {}, 0},
    {"ssDissolve", dissolve, false, 2000, 2, 1, 1, 1, 0, {}, 0},
    {"ssDissolve2", dissolve, false, 2000, 2, 1, 1, 1, 0, {}, 0},
    {"ssRadarCW", radar, false, 2000, 4, 1, 0, 1, 2, {}, 0},
    {"ssRadarCW2", radar, false, 2000, 4, 1, 0, 1, 2, {}, 0},
    {"ssRadarCCW", radar, true, 2000, 4, 1, 0, 1, 2, {}, 0},
    {"ssRadarCCW2", radar, true, 2000, 4, 1, 0, 1, 2, {}, 0},
    {"ssDRadarCW", doubleRadar, false, 2000, 4, 1, 0, 1, 3, {}, 0},
    {"ssDRadarCW2", doubleRadar, false, 2000, 4, 1, 0, 1, 3, {}, 0},
    {"ssDRadarCCW", doubleRadar, true, 2000, 4, 1, 0, 1, 3, {}, 0},
    {"ssDRadarCCW2", doubleRadar, true, 2000, 4, 1, 0, 1, 3, {}, 0},
    {"ssFanBClose", fanFromBottom, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanBClose2", fanFromBottom, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanBOpen", fanFromBottom, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanBOpen2", fanFromBottom, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanTClose", fanFromTop, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanTClose2", fanFromTop, false, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanTOpen", fanFromTop, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssFanTOpen2", fanFromTop, true, 2000, 2, 1, 1, 1, 2, {}, 0},
    {"ssCircleBT", circlesRising, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleBT2", circlesRising, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleTB", circlesRising, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleTB2", circlesRising, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleLR", circlesFromLeft, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleLR2", circlesFromLeft, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleRL", circlesFromLeft, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleRL2", circlesFromLeft, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleLRF", circlesFromRight, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleLRF2", circlesFromRight, false, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleRLF", circlesFromRight, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssCircleRLF2", circlesFromRight, true, 2000, 2, 1, 1, 2, 2, {}, 0},
    {"ssRandomTB", randomFront, false, 2000, 1, 1, 1, 1, 2, {}, 0},
    {"ssRandomBT", randomFront, true, 2000, 1, 1, 1, 1, 2, {}, 0},
    {"ssSineTB", sineFront, false, 2000, 1, 1, 1, 1, 2, {}, 0},
    {"ssSineBT", sineFront, true, 2000, 1, 1, 1, 1, 2, {}, 0},
    {"ssBillboard", billboard, false, 1500, 2, 1, 0, 1, -1, {}, 0},
    {"ssBillboard2", billboard, false, 1500, 2, 1, 0, 1, -1, {}, 0},
    {"ssMovingBillBoardLR", movingBillboard, false, 1500, 1, 0, 0, 1, -1, {}, 0},
    {"ssMovingBillBoardRL", movingBillboard, true, 1500, 1, 0, 0, 1, -1, {}, 0},
    {"ssSquares", squares, false, 2000, 2, 1, 0, 1, 0, {}, 0},
    {"ssSquares2", squares, false, 2000, 2, 1, 0, 1, 0, {}, 0},
    {"ssPlasma", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\plasma", 0},
    {"ssStarburstOut", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\star", 0},
    {"ssStarburstIn", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\star", 0},
    {"ssSwirlIn", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\swirl", 0},
    {"ssSwirlOut", maskPicture, true, 1500, 1, 1, 0, 1, 2, "[h]images\\swirl", 0},
    {"ssFlushOut", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\swirl2", 0},
    {"ssFlushIn", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\swirl2", 0},
    {"ssSpiralOut", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\spiral", 0},
    {"ssSpiralIn", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\spiral", 0},
    {"ssStarOut", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\star2", 0},
    {"ssStarIn", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\star2", 0},
    {"ssCStarOut", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\star3", 0},
    {"ssCStarIn", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\star3", 0},
    {"ssBrushLR", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\brush", 0},
    {"ssBrushRL", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\brush", 0},
    {"ssBrushTB", maskPicture, false, 1500, 1, 0, 0, 1, 2, "[h]images\\brush", 90},
    {"ssBrushBT", maskPicture, true, 1500, 1, 0, 0, 1, 2, "[h]images\\brush", 90},
    {"ssSquaretIn", maskPicture, false, 1500, 1, 0, 0, 1, 1, "[h]images\\squaret", 0},
    {"ssSquaretOut", maskPicture, true, 1500, 1, 0, 0, 1, 1, "[h]images\\squaret", 0},
    {"ssWavesBT", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\waves", 0},
    {"ssWavesTB", maskPicture, true, 1500, 1, 1, 0, 1, 2, "[h]images\\waves", 0},
    {"ssCheckers", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\checker", 0},
    {"ssCWipeLTRB", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\cwipe", 0},
    {"ssCWipeRBLT", maskPicture, true, 1500, 1, 1, 0, 1, 2, "[h]images\\cwipe", 0},
    {"ssCWipeRTLB", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\cwipe", 90},
    {"ssCWipeLBRT", maskPicture, true, 1500, 1, 1, 0, 1, 2, "[h]images\\cwipe", 90},
    {"ssPuzzle", maskPicture, false, 2000, 2, 1, 0, 1, 0, "[h]images\\puzzle", 0},
    {"ssPuzzle2", maskPicture, false, 2000, 2, 1, 0, 1, 0, "[h]images\\puzzle", 0},
    {"ssChekdoor", maskPicture, false, 1500, 1, 1, 0, 1, 2, "[h]images\\chekdoor", 0},
};

}  // namespace

const SpanFamily* findSpanFamily(std::string_view name) {
    for (const SpanFamily& family : kFamilies) {
        if (family.name == name) return &family;
    }
    return nullptr;
}

TransitionPtr makeSpanMask(const CatalogueRow& row) {
    const SpanFamily* family = findSpanFamily(row.name);
    if (family == nullptr) return nullptr;
    return std::make_unique<SpanMaskTransition>(*family, row);
}

}  // namespace lv
