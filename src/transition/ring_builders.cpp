// Rings and outlines: circles (or ellipses by the pixel aspect) about the
// centre, rising from below or moving in from the sides, nested rectangle
// outlines, squares growing from the corners and diamond outlines.
#include <algorithm>
#include <cmath>

#include "transition/span_builders.h"

namespace lv::spans {

namespace {

// Pixel aspect for the ring families: 0 or less means circles.
double aspectOf(const SpanBuild& b) { return b.settings.pixelAspect > 0 ? b.settings.pixelAspect : 1.0; }

// A ring of radii rx, ry about (cx, cy); a true circle goes through the
// midpoint walk, an ellipse is sampled along both axes so it has no holes.
void ring(SpanBuild& b, std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry) {
    if (rx == ry) {
        b.sets.push_back(circleRingSet(b.source, cx, cy, rx, b.claims, false));
        return;
    }
    std::vector<Spot> spots;
    const auto mirror = [&](std::int32_t dx, std::int32_t dy) {
        for (std::int32_t sx : {1, -1}) {
            for (std::int32_t sy : {1, -1}) {
                if (b.claims.claim(cx + sx * dx, cy + sy * dy)) spots.push_back(Spot{cx + sx * dx, cy + sy * dy});
            }
        }
    };
    for (std::int32_t dx = 0; dx <= rx; ++dx) {
        const double f = rx > 0 ? static_cast<double>(dx) / rx : 0.0;
        mirror(dx, static_cast<std::int32_t>(std::lround(ry * std::sqrt(std::max(0.0, 1 - f * f)))));
    }
    for (std::int32_t dy = 0; dy <= ry; ++dy) {
        const double f = ry > 0 ? static_cast<double>(dy) / ry : 0.0;
        mirror(static_cast<std::int32_t>(std::lround(rx * std::sqrt(std::max(0.0, 1 - f * f)))), dy);
    }
    b.sets.push_back(setOfSpots(b.source, std::move(spots)));
}

// Rings about the centre, radius 0 outwards until the corners are reached.
std::int32_t centredRings(SpanBuild& b) {
    const double a = aspectOf(b);
    const double hx = b.width / 2, hy = (b.height / 2) / a;
    const std::int32_t n = static_cast<std::int32_t>(std::sqrt(hx * hx + hy * hy)) + 1;
    for (std::int32_t r = 0; r < n; ++r) ring(b, b.width / 2, b.height / 2, r, static_cast<std::int32_t>(std::lround(r * a)));
    return n;
}

// Rings of the side families: vertical radius H/2, centre on the middle row.
struct SideRings {
    std::int32_t rx, ry, count;
};
SideRings sideRings(const SpanBuild& b) {
    const std::int32_t ry = b.height / 2;
    const double a = b.settings.pixelAspect;
    if (a <= 0) return SideRings{ry, ry, ry + b.width};
    const double rx = ry / a;
    return SideRings{static_cast<std::int32_t>(std::lround(rx)), ry, static_cast<std::int32_t>(rx + b.width + 0.5)};
}

}  // namespace

int circles(SpanBuild& b) {
    centredRings(b);
    return 0;
}

int circlesInterleaved(SpanBuild& b) {
    const std::int32_t n = centredRings(b);
    // A cursor walks out and back: rings of even groups on the way out, of
    // odd groups on the way back.
    const std::int32_t g = b.clientHeight < 230 ? 3 : 8;
    std::vector<PixelSet> ordered;
    ordered.reserve(b.sets.size());
    for (std::int32_t c = 0; c < 2 * n; ++c) {
        const std::int32_t r = c < n ? c : 2 * n - c - 1;
        if ((c < n) == ((r / g) % 2 == 0)) ordered.push_back(std::move(b.sets[static_cast<std::size_t>(r)]));
    }
    b.sets = std::move(ordered);
    return 0;
}

int circlesRising(SpanBuild& b) {
    const double a = aspectOf(b);
    const std::int32_t rx = b.width / 2, ry = static_cast<std::int32_t>(std::lround(rx * a));
    const std::int32_t n = static_cast<std::int32_t>(std::lround(b.height * a + rx));
    for (std::int32_t s = 0; s < n; ++s) ring(b, b.width / 2, b.height + rx - s, rx, ry);
    return 0;
}

int circlesFromLeft(SpanBuild& b) {
    const SideRings r = sideRings(b);
    for (std::int32_t s = 0; s < r.count; ++s) ring(b, -r.rx + s, b.height / 2, r.rx, r.ry);
    return 0;
}

int circlesFromRight(SpanBuild& b) {
    const SideRings r = sideRings(b);
    for (std::int32_t s = 0; s < r.count; ++s) ring(b, r.count - s, b.height / 2, r.rx, r.ry);
    return 0;
}

int rectangles(SpanBuild& b) {
    // Half-sizes grow by at most one per outline, so the outlines leave no gap.
    const std::int32_t cx = b.width / 2, cy = b.height / 2, m = std::max(cx, cy);
    for (std::int32_t k = 0; k <= m; ++k) {
        const std::int32_t hx = m > 0 ? k * cx / m : 0, hy = m > 0 ? k * cy / m : 0;
        const std::int32_t left = cx - hx, right = cx + hx, top = cy - hy, bottom = cy + hy;
        std::vector<Spot> spots;
        for (std::int32_t x = left; x <= right; ++x) {
            spots.push_back(Spot{x, top});
            spots.push_back(Spot{x, bottom});
        }
        for (std::int32_t y = top + 1; y < bottom; ++y) {
            spots.push_back(Spot{left, y});
            spots.push_back(Spot{right, y});
        }
        b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    }
    return 0;
}

int corners(SpanBuild& b) {
    const std::int32_t qw = (b.width + 1) / 2, qh = (b.height + 1) / 2;
    for (std::int32_t k = 0; k < std::max(qw, qh); ++k) {
        std::vector<Spot> spots;
        const auto take = [&](std::int32_t x, std::int32_t y) {
            for (const Spot& s : {Spot{x, y}, Spot{b.width - 1 - x, y}, Spot{x, b.height - 1 - y},
                                  Spot{b.width - 1 - x, b.height - 1 - y}}) {
                if (b.claims.claim(s.x, s.y)) spots.push_back(s);
            }
        };
        // Step k adds row k and column k to the square in every corner.
        if (k < qh) {
            for (std::int32_t x = 0; x <= std::min(k, qw - 1); ++x) take(x, k);
        }
        if (k < qw) {
            for (std::int32_t y = 0; y <= std::min(k, qh - 1); ++y) take(k, y);
        }
        b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    }
    return 0;
}

int diamonds(SpanBuild& b) {
    // Outline k joins the side midpoints of a rectangle of half-size
    // k x W / M by k x H / M; the last one passes the picture's corners.
    const std::int32_t cx = b.width / 2, cy = b.height / 2, m = std::max(b.width, b.height);
    for (std::int32_t k = 0; k <= m; ++k) {
        const std::int32_t hx = k * b.width / m, hy = k * b.height / m;
        const std::int32_t xs[] = {cx, cx + hx, cx, cx - hx, cx};
        const std::int32_t ys[] = {cy - hy, cy, cy + hy, cy, cy - hy};
        std::vector<Spot> spots;
        for (int side = 0; side < 4; ++side) linePoints(xs[side], ys[side], xs[side + 1], ys[side + 1], b.claims, spots);
        b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    }
    return 0;
}

}  // namespace lv::spans
