// The builders of the span-mask families, one group per file: each fills
// SpanBuild::sets in schedule order (span_transition.h). The family table
// (span_families.cpp) names which builder makes which transition.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "transition/span_transition.h"

namespace lv::spans {

// A set of scattered pixels (values fetched later); points outside the
// picture are dropped, duplicates kept once.
using Spot = SetPoint;
inline PixelSet setOfSpots(const SetSource& source, std::vector<Spot> spots) {
    return setOfPoints(source, std::move(spots));
}
// Number of bits that hold 0 ... n - 1 (at least 1).
std::int32_t bitsFor(std::int32_t n);

// Simple wipes, blinds and billboards (wipe_builders.cpp).
int wipeColumns(SpanBuild& b);
int wipeRows(SpanBuild& b);
int doubleWipeColumns(SpanBuild& b);
int doubleWipeRows(SpanBuild& b);
int closeColumns(SpanBuild& b);
int closeRows(SpanBuild& b);
int blinds(SpanBuild& b);
int movingBlinds(SpanBuild& b);
int billboard(SpanBuild& b);
int movingBillboard(SpanBuild& b);
int diagonalTopLeft(SpanBuild& b);
int diagonalBottomLeft(SpanBuild& b);
int diagonalTopLeftBottomRight(SpanBuild& b);
int diagonalBottomLeftTopRight(SpanBuild& b);

// Circles, rectangles, corners and diamonds (ring_builders.cpp).
int circles(SpanBuild& b);
int circlesInterleaved(SpanBuild& b);
int circlesRising(SpanBuild& b);
int circlesFromLeft(SpanBuild& b);
int circlesFromRight(SpanBuild& b);
int rectangles(SpanBuild& b);
int corners(SpanBuild& b);
int diamonds(SpanBuild& b);

// Radar sweeps and fans (sweep_builders.cpp).
int radar(SpanBuild& b);
int doubleRadar(SpanBuild& b);
int fanFromBottom(SpanBuild& b);
int fanFromTop(SpanBuild& b);

// Ragged and wavy fronts (front_builders.cpp).
int randomFront(SpanBuild& b);
int sineFront(SpanBuild& b);

// The shift-register families (dissolve_builders.cpp).
std::uint32_t dissolveTaps(std::int32_t width);
int dissolve(SpanBuild& b);
int squares(SpanBuild& b);

// Mask pictures (mask_builders.cpp): 256 sets, set v holding the pixels of
// grey value v that were not claimed yet (row by row, left to right).
std::vector<PixelSet> setsByGreyValue(const SetSource& source, const std::vector<std::uint8_t>& grey, ClaimMap& claims);
int maskPicture(SpanBuild& b);

}  // namespace lv::spans
