// The straight wipes: columns and rows in order, from both ends, in pairs
// from the edges, in strips (blinds, billboards) and swept waves of strips,
// and the diagonal wipes whose lines join two edges walked from a corner.
#include <algorithm>

#include "transition/span_builders.h"

namespace lv::spans {

namespace {

// Lines of one strip: the blinds' rows or the billboards' columns.
std::int32_t stripSize(std::int32_t clientWidth, std::int32_t divisor) { return std::max(20, clientWidth / divisor); }

// Every strip turns its k-th line together: k = 0 ... s - 1.
template <typename Add>
void stripsTogether(std::int32_t lines, std::int32_t s, Add add) {
    for (std::int32_t k = 0; k < s; ++k) {
        for (std::int32_t first = 0; first + k < lines; first += s) add(first + k);
    }
}

// A wave through the strips: at wave n, strip j turns its line n - 1 - j.
template <typename Add>
void stripsInAWave(std::int32_t lines, std::int32_t s, Add add) {
    const std::int32_t strips = (lines + s - 1) / s;
    std::int32_t placed = 0;
    for (std::int32_t n = 1; placed < lines && n <= strips + s; ++n) {
        for (std::int32_t j = 0; j < n && j < strips; ++j) {
            const std::int32_t k = n - 1 - j;
            if (k < s && j * s + k < lines) {
                add(j * s + k);
                ++placed;
            }
        }
    }
}

// One corner's walk: the distances a (along x) and b (along y) from the
// corner, over `steps` steps, the longer of 2W and 2H advancing every step
// and the other by the error term.
class CornerWalk {
public:
    CornerWalk(std::int32_t w, std::int32_t h) : longerX_(w >= h), longer_(2 * std::max(w, h)), shorter_(2 * std::min(w, h)) {}
    std::int32_t a() const { return a_; }
    std::int32_t b() const { return b_; }
    void next() {
        error_ += shorter_;
        const bool other = error_ >= longer_;
        if (other) error_ -= longer_;
        (longerX_ ? a_ : b_) += 1;
        if (other) (longerX_ ? b_ : a_) += 1;
    }

private:
    bool longerX_;
    std::int32_t longer_, shorter_;
    std::int32_t a_ = 0, b_ = 0, error_ = 0;
};

std::int32_t diagonalSteps(const SpanBuild& b) { return 2 * std::max(b.width, b.height); }

}  // namespace

int wipeColumns(SpanBuild& b) {
    for (std::int32_t x = 0; x < b.width; ++x) b.column(x, 0, b.height);
    return 0;
}

int wipeRows(SpanBuild& b) {
    for (std::int32_t y = 0; y < b.height; ++y) b.row(y, 0, b.width);
    return 0;
}

int doubleWipeColumns(SpanBuild& b) {
    const std::int32_t half = b.height / 2;
    for (std::int32_t x = 0; x < b.width; ++x) {
        b.column(x, 0, half);
        b.column(b.width - 1 - x, half, b.height - half);
    }
    return 0;
}

int doubleWipeRows(SpanBuild& b) {
    const std::int32_t half = b.width / 2;
    for (std::int32_t y = 0; y < b.height; ++y) {
        b.row(y, 0, half);
        b.row(b.height - 1 - y, half, b.width - half);
    }
    return 0;
}

int closeColumns(SpanBuild& b) {
    for (std::int32_t i = 0; i < b.width / 2; ++i) {
        b.column(i, 0, b.height);
        b.column(b.width - 1 - i, 0, b.height);
    }
    if (b.width % 2 == 1) b.column(b.width / 2, 0, b.height);
    return 0;
}

int closeRows(SpanBuild& b) {
    for (std::int32_t i = 0; i < b.height / 2; ++i) {
        b.row(i, 0, b.width);
        b.row(b.height - 1 - i, 0, b.width);
    }
    if (b.height % 2 == 1) b.row(b.height / 2, 0, b.width);
    return 0;
}

int blinds(SpanBuild& b) {
    const std::int32_t s = stripSize(b.clientWidth, 20);
    stripsTogether(b.height, s, [&](std::int32_t y) { b.row(y, 0, b.width); });
    b.info.extraSteps = b.height / s + 1;
    return 0;
}

int movingBlinds(SpanBuild& b) {
    stripsInAWave(b.height, stripSize(b.clientWidth, 40), [&](std::int32_t y) { b.row(y, 0, b.width); });
    b.info.extraSteps = 0;
    return 0;
}

int billboard(SpanBuild& b) {
    const std::int32_t s = stripSize(b.clientWidth, 20);
    stripsTogether(b.width, s, [&](std::int32_t x) { b.column(x, 0, b.height); });
    b.info.extraSteps = b.width / s + 1;
    return 0;
}

int movingBillboard(SpanBuild& b) {
    const std::int32_t s = stripSize(b.clientWidth, 40);
    stripsInAWave(b.width, s, [&](std::int32_t x) { b.column(x, 0, b.height); });
    b.info.extraSteps = b.width / s + 1;
    return 0;
}

int diagonalTopLeft(SpanBuild& b) {
    CornerWalk walk(b.width, b.height);
    for (std::int32_t i = 0; i < diagonalSteps(b); ++i, walk.next()) b.line(walk.a(), 0, 0, walk.b());
    return 0;
}

int diagonalBottomLeft(SpanBuild& b) {
    const std::int32_t bottom = b.height - 1;
    CornerWalk walk(b.width, b.height);
    for (std::int32_t i = 0; i < diagonalSteps(b); ++i, walk.next()) b.line(0, bottom - walk.b(), walk.a(), bottom);
    return 0;
}

int diagonalTopLeftBottomRight(SpanBuild& b) {
    const std::int32_t right = b.width - 1, bottom = b.height - 1;
    CornerWalk walk(b.width, b.height);
    for (std::int32_t i = 0; i < diagonalSteps(b) / 2; ++i, walk.next()) {
        b.line(walk.a(), 0, 0, walk.b());
        b.line(right - walk.a(), bottom, right, bottom - walk.b());
    }
    return 0;
}

int diagonalBottomLeftTopRight(SpanBuild& b) {
    const std::int32_t right = b.width - 1, bottom = b.height - 1;
    CornerWalk walk(b.width, b.height);
    for (std::int32_t i = 0; i < diagonalSteps(b) / 2; ++i, walk.next()) {
        b.line(0, bottom - walk.b(), walk.a(), bottom);
        b.line(right, walk.b(), right - walk.a(), 0);
    }
    return 0;
}

}  // namespace lv::spans
