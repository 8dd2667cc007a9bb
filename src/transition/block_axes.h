// Geometry shared by the block families: one motion written once along an
// axis serves both the horizontal and the vertical forms, and the opening
// and closing slides split an axis into the segments that move.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"

namespace lv {

struct Axis {
    bool vertical = false;

    // A rectangle given along the axis (a) and across it (b).
    Rect rect(std::int32_t a0, std::int32_t aLength, std::int32_t b0, std::int32_t bLength) const {
        return vertical ? Rect{b0, a0, bLength, aLength} : Rect{a0, b0, aLength, bLength};
    }
    std::int32_t dx(std::int32_t shift) const { return vertical ? 0 : shift; }
    std::int32_t dy(std::int32_t shift) const { return vertical ? shift : 0; }
    std::int32_t start(const Rect& r) const { return vertical ? r.top : r.left; }
    std::int32_t extent(const Rect& r) const { return vertical ? r.height : r.width; }
};

// One stretch of an axis in a frame of an opening or closing slide: window
// positions [start, start + length) show source positions + shift; a moving
// piece of the outgoing picture shows only its own half, `limit`.
struct Segment {
    enum class Part : std::uint8_t { Near, Middle, Far, Still };
    Part part = Part::Still;
    std::int32_t start = 0, length = 0;
    std::int32_t shift = 0;
    std::int32_t limitStart = 0, limitLength = 0;
    // A middle stretch that the display already shows (an opening slide's
    // frame drawn over an earlier one).
    bool shown = false;
};

// Closing: the two halves of the incoming picture come in from both edges
// of an extent E (window 0 ... E); p and q are how far each has come.
std::vector<Segment> closingSegments(std::int32_t extent, std::int32_t p);
// Opening: the halves of the outgoing picture (at `pictureStart`, `pictureLength`
// along the axis) move out to both edges, uncovering the middle.
std::vector<Segment> openingSegments(std::int32_t extent, std::int32_t pictureStart, std::int32_t pictureLength,
                                     std::int32_t p);
// `segments` with its middle stretch cut where it meets [shownStart,
// shownEnd), the pieces inside marked shown.
std::vector<Segment> markShown(const std::vector<Segment>& segments, std::int32_t shownStart, std::int32_t shownEnd);
// A still stretch: the picture's own positions.
Segment stillSegment(std::int32_t start, std::int32_t length);

}  // namespace lv
