// Layouts of the piece transitions: how a picture is cut into pieces.
//
// Grid: about 70 cells of equal area, side = sqrt(w x h / 70), rows =
// h / side and columns = w / side (times the pixel aspect); cells smaller
// than 24 x 18 give way to cells of 24 x 18. Every picture gets at least one
// column and one row, however narrow, short or tiny (a 1 x 1 picture is one
// cell). The remainder of the width (and height) widens the middle columns
// (rows) by one pixel each, so the cells tile the picture exactly.
//
//     GridShape g = gridShape(800, 600, 1.0);   // 9 x 7 cells of 88/89 x 85/86
//
// Bars: horizontal bars of thickness max(10, client height / 35) across
// the whole width; bar 0 is the lowest and the only one that may be thinner.
//
//     barPieces(640, 400, 700, true)   // 20 bars of 20 rows, bar 0 at rows 380 ... 400
//
// Pieces come back at home (start and target at their home rectangle, depth
// 1000, no motion), in creation order: grid row by row, left to right.
#pragma once

#include <cstdint>
#include <vector>

#include "transition/piece_kind.h"

namespace lv {

struct GridShape {
    std::int32_t columns = 1, rows = 1;
    std::int32_t cellWidth = 0, cellHeight = 0;       // before the remainder is spread
    std::vector<std::int32_t> columnLeft, rowTop;      // columns + 1 and rows + 1 edges
};

GridShape gridShape(std::int32_t width, std::int32_t height, double pixelAspect);
std::vector<Piece> gridPieces(const GridShape& grid, bool arriving);

std::int32_t barThickness(std::int32_t clientHeight);
std::vector<Piece> barPieces(std::int32_t width, std::int32_t height, std::int32_t clientHeight, bool arriving);

}  // namespace lv
