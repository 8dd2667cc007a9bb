// The piece kind: rectangular pieces of the outgoing or the incoming picture
// (bars, or the cells of a grid) moved over the other picture, each along a
// motion of its own and with a size rule of its own, in abstract time units
// counted from the start of the run. This header is the pieces' arithmetic:
// where a piece is and how large it is at time t, when it is done, and the
// run's total time. Layouts are in piece_layout.h, frames in piece_frames.h,
// the 27 recipes in piece_recipes.h.
//
//     Piece bar{.arriving = true, .homeX = 0, .homeY = 380, .width = 640, .height = 20,
//               .startY = -20, .targetY = 380, .motion = PieceMotion::LineToTarget,
//               .acceleration = 10, .scale = 400.0 / 2812500};
//     PiecePose p = poseAt(bar, PieceArea{640, 400}, 300);   // on its way down
//     bool home = pieceDone(bar, PieceArea{640, 400}, 750);  // true: it has arrived
//
// Coordinates are the picture's (0, 0 top left, width x height of the
// area); real-valued motions are truncated towards zero, with a tolerance
// of a millionth so that a motion that returns to its start lands on it
// and not one pixel short. Depth is 1000 at the picture plane; a piece at
// depth z is drawn at 1000 / z of its size.
//
// An arriving piece is done when it rests exactly on its target at full
// size; a leaving piece when it has no size left or lies wholly outside the
// picture. The total is the first time at which every piece is done, found
// by bisection over 0 ... 10000. A picture far wider than it is high (say
// 18800 x 18: one row of 270 cells) flies its pieces across its width at a
// speed set by its height and may give delays beyond 10000, so some piece is
// not home by then; the search then goes on past 10000, doubling its range up
// to kLongestPieceTotal (the total is that when some piece never finishes).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "display/display.h"

namespace lv {

struct PieceArea {
    std::int32_t width = 0, height = 0;  // the picture the pieces move over
    double pixelAspect = 1.0;            // the display's; 1 for square pixels
};

enum class PieceMotion : std::uint8_t {
    Stay,          // at its start position throughout
    LineToTarget,  // distance v d + a d^2 / 2 (scaled), towards the target, stopping there
    LineOutwards,  // the same distance along `heading`, without stopping
    Spiral,        // widening loops about the start
    OrbitOut,      // turns about the picture centre on a growing radius
    OrbitIn,       // turns into the centre on a shrinking radius, receding
    CorkAcross,    // turns about the horizontal midline while moving across
    CorkDown,      // turns about the vertical midline while moving down or up
    Recede,        // into the distance, towards the centre
    Approach,      // from the distance (depth 51000) to its home
};

enum class PieceSize : std::uint8_t {
    Full,           // always its full size
    ShrinkAt,       // linear from full at its start to nothing at time `sizeValue`
    GrowByRate,     // from nothing, `sizeValue` pixels of width per unit
    GrowByTime,     // from nothing at its start to full by 0.6 of the way to `sizeValue`
    ByDepth,        // full before its start, then 1000 / depth of it
    AppearByDepth,  // nothing before its start (leaving: full until 5 after), then 1000 / depth
};

struct Piece {
    bool arriving = false;                      // a piece of the incoming picture
    std::int32_t homeX = 0, homeY = 0, width = 0, height = 0;
    std::int32_t column = 0, row = 0;           // its cell in the layout
    std::int32_t start = 0;                     // when its motion and size change begin
    std::int32_t startX = 0, startY = 0, startDepth = 1000;
    std::int32_t targetX = 0, targetY = 0;
    PieceMotion motion = PieceMotion::Stay;
    double speed = 0, acceleration = 0, scale = 0;  // line motions
    double heading = 0;                         // line outwards, radians (y grows downwards)
    double radius0 = 0, angle0 = 0;             // orbits and corks: the start about their centre
    double reverseTotal = 0;                    // orbit out: time counted back from here when above 0
    bool ignoreAspect = false;                  // orbit out
    std::int32_t direction = 1;                 // corks: +1 right or down, -1 left or up
    PieceSize size = PieceSize::Full;
    double sizeValue = 0;
    bool growFromHalfStart = false;             // grow by rate: the rule starts at half the start time
};

struct PiecePose {
    std::int32_t x = 0, y = 0;  // top left of the full-size piece
    std::int32_t depth = 1000;
};
struct PieceExtent {
    std::int32_t width = 0, height = 0;
};

// A rectangle of a piece as it is drawn: where, and where in the piece's
// own picture its pixels come from (both in picture coordinates).
struct DrawnPiece {
    Rect destination;
    std::int32_t sourceX = 0, sourceY = 0;
    bool operator==(const DrawnPiece&) const = default;
};

PiecePose poseAt(const Piece& piece, const PieceArea& area, std::int64_t t);
PieceExtent extentAt(const Piece& piece, std::int32_t depth, std::int64_t t);
bool pieceDone(const Piece& piece, const PieceArea& area, std::int64_t t);
// Delays are kept below this, and totals at most twice it.
inline constexpr std::int32_t kLatestPieceStart = std::int32_t{1} << 21;
inline constexpr std::int32_t kLongestPieceTotal = 2 * kLatestPieceStart;
// The first time in 1 ... 10000 at which every piece is done (bisection),
// or, when not all are done at 10000, the first in 10001 ... kLongestPieceTotal.
std::int32_t piecesTotal(const std::vector<Piece>& pieces, const PieceArea& area);
// The piece at time t centred at its current size and clipped to the area;
// an empty destination when nothing of it shows.
DrawnPiece drawnAt(const Piece& piece, const PieceArea& area, std::int64_t t);

// Scale of the line motions: a line covers the picture height in 750 units.
double lineScale(std::int32_t height, double speed, double acceleration);
// Distance and angle of (x, y) from (cx, cy).
void polarFrom(double cx, double cy, double x, double y, double& radius, double& angle);

}  // namespace lv
