#include "transition/piece_layout.h"

#include <algorithm>
#include <cmath>

namespace lv {

namespace {

constexpr double kCellsAimedAt = 70.0;
constexpr std::int32_t kSmallestCellWidth = 24, kSmallestCellHeight = 18;

// Edges of `count` parts of `extent`: every part `extent / count` wide, the
// remainder one pixel each to the middle parts. The remainder is below the
// count, so the widened parts always lie inside the range.
std::vector<std::int32_t> spreadEdges(std::int32_t extent, std::int32_t count) {
    const std::int32_t base = extent / count, remainder = extent % count;
    const std::int32_t firstWide = (count - remainder) / 2;
    std::vector<std::int32_t> edges(static_cast<std::size_t>(count) + 1, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        const bool wide = i >= firstWide && i < firstWide + remainder;
        edges[i + 1] = edges[i] + base + (wide ? 1 : 0);
    }
    return edges;
}

Piece atHome(bool arriving, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    Piece p;
    p.arriving = arriving;
    p.homeX = p.startX = p.targetX = x;
    p.homeY = p.startY = p.targetY = y;
    p.width = width;
    p.height = height;
    return p;
}

}  // namespace

GridShape gridShape(std::int32_t width, std::int32_t height, double pixelAspect) {
    GridShape g;
    width = std::max(width, 1);
    height = std::max(height, 1);
    const double side = std::sqrt(static_cast<double>(width) * height / kCellsAimedAt);
    double columns = std::trunc(width / side);
    if (pixelAspect > 0) columns = std::trunc(columns * pixelAspect);
    g.rows = static_cast<std::int32_t>(std::clamp(std::trunc(height / side), 1.0, static_cast<double>(height)));
    g.columns = static_cast<std::int32_t>(std::clamp(columns, 1.0, static_cast<double>(width)));
    if (width / g.columns < kSmallestCellWidth || height / g.rows < kSmallestCellHeight) {
        g.columns = std::max(1, width / kSmallestCellWidth);
        g.rows = std::max(1, height / kSmallestCellHeight);
    }
    g.cellWidth = width / g.columns;
    g.cellHeight = height / g.rows;
    g.columnLeft = spreadEdges(width, g.columns);
    g.rowTop = spreadEdges(height, g.rows);
    return g;
}

std::vector<Piece> gridPieces(const GridShape& grid, bool arriving) {
    std::vector<Piece> pieces;
    pieces.reserve(static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows));
    for (std::int32_t r = 0; r < grid.rows; ++r) {
        for (std::int32_t c = 0; c < grid.columns; ++c) {
            Piece p = atHome(arriving, grid.columnLeft[c], grid.rowTop[r], grid.columnLeft[c + 1] - grid.columnLeft[c],
                             grid.rowTop[r + 1] - grid.rowTop[r]);
            p.column = c;
            p.row = r;
            pieces.push_back(p);
        }
    }
    return pieces;
}

std::int32_t barThickness(std::int32_t clientHeight) { return std::max(10, clientHeight / 35); }

std::vector<Piece> barPieces(std::int32_t width, std::int32_t height, std::int32_t clientHeight, bool arriving) {
    const std::int32_t b = barThickness(clientHeight);
    const std::int32_t n = std::max(1, (height + b - 1) / b);
    std::vector<Piece> bars;
    bars.reserve(static_cast<std::size_t>(n));
    for (std::int32_t k = 0; k < n; ++k) {
        const std::int32_t top = (n - 1 - k) * b;
        const std::int32_t bottom = k == 0 ? height : (n - k) * b;
        Piece bar = atHome(arriving, 0, top, width, bottom - top);
        bar.row = k;
        bars.push_back(bar);
    }
    return bars;
}

}  // namespace lv
