#include "transition/piece_kind.h"

#include <algorithm>
#include <cmath>

namespace lv {

namespace {

constexpr double kTurn = 6.283184;       // one turn, as the orbits wrap their angle
constexpr double kPlaneDepth = 1000.0;
constexpr double kDistantDepth = 51000.0;  // where the approaching pieces start
constexpr std::int32_t kSearchedTotal = 10000;

// Towards zero, with a millionth's tolerance away from it: a motion that
// comes back to an integer position through sines and cosines lands on it.
std::int32_t truncated(double v) {
    const double nudged = v + (v >= 0 ? 1e-6 : -1e-6);
    // Far outside any picture is as good as further; the bound keeps sums in range.
    return static_cast<std::int32_t>(std::clamp(std::trunc(nudged), -1073741824.0, 1073741824.0));
}

double wrapped(double angle) { return std::fmod(angle, kTurn); }

// Moves `from` towards `to` by `step` (at least 0), stopping there.
double towards(double from, double to, double step) {
    return from < to ? std::min(to, from + step) : std::max(to, from - step);
}

PiecePose lineToTarget(const Piece& p, double d) {
    const double travel = (p.speed * d + p.acceleration * d * d / 2) * p.scale;
    const double dx = std::abs(static_cast<double>(p.targetX) - p.startX),
                 dy = std::abs(static_cast<double>(p.targetY) - p.startY);
    const double theta = std::atan2(dy, dx);
    // A piece that has covered the whole way rests exactly on its target.
    const bool there = travel * travel >= dx * dx + dy * dy;
    if (there) return PiecePose{p.targetX, p.targetY, 1000};
    return PiecePose{truncated(towards(p.startX, p.targetX, travel * std::cos(theta))),
                     truncated(towards(p.startY, p.targetY, travel * std::sin(theta))), 1000};
}

PiecePose lineOutwards(const Piece& p, double d) {
    const double travel = (p.speed * d + p.acceleration * d * d / 2) * p.scale;
    return PiecePose{truncated(p.startX + travel * std::cos(p.heading)), truncated(p.startY + travel * std::sin(p.heading)),
                     1000};
}

PiecePose spiral(const Piece& p, const PieceArea& a, double d) {
    const double theta = d / 75;
    return PiecePose{truncated(p.startX + std::sin(theta) * (a.width / 1024.0) * d),
                     truncated(p.startY + std::cos(theta) * (a.height / 768.0) * d), 1000};
}

PiecePose orbitOut(const Piece& p, const PieceArea& a, double d) {
    if (p.reverseTotal > 0) {
        d = p.reverseTotal - d;
        // Counted back, the orbit ends where the piece started: it rests there.
        if (d <= 0) return PiecePose{p.startX, p.startY, 1000};
    }
    const double q = a.width < 640 ? 100.0 : a.width / 8.0;
    const double r = p.radius0 + d / 2;
    const double theta = wrapped(d / q + p.angle0);
    double x = std::cos(theta) * r;
    if (!p.ignoreAspect && a.pixelAspect != 0) x /= a.pixelAspect;
    return PiecePose{truncated(a.width / 2 + x), truncated(a.height / 2 + std::sin(theta) * r), 1000};
}

PiecePose orbitIn(const Piece& p, const PieceArea& a, double d) {
    const double q = a.width < 640 ? 20.0 * a.width : 50.0 * a.width;
    const double r = std::max(0.0, p.radius0 - d / 2);
    const double theta = wrapped(d * p.radius0 / q + p.angle0);
    double x = std::cos(theta) * r;
    if (a.pixelAspect > 0.001) x /= a.pixelAspect;
    return PiecePose{truncated((a.width - p.width) / 2 + x), truncated((a.height - p.height) / 2 + std::sin(theta) * r),
                     truncated(kPlaneDepth + d * d / 100)};
}

PiecePose cork(const Piece& p, const PieceArea& a, double d, bool across) {
    const double q = a.width < 640 ? 100.0 : a.width / 16.0;
    const double r = p.radius0 + d / 2;
    const double theta = wrapped(d / q + p.angle0);
    const double s = a.height / (5.0 * 750 * 750 / 2);
    const double travel = p.direction * (10.0 * d * d / 2) * s;
    const std::int32_t depth = std::max(1, truncated(kPlaneDepth + std::max(r, 0.0)));
    if (across) return PiecePose{truncated(p.startX + travel), truncated(a.height / 2 + std::sin(theta) * r), depth};
    return PiecePose{truncated(a.width / 2 + std::cos(theta) * r), truncated(p.startY + travel), depth};
}

// The perspective motions move a piece towards the centre by 1000 / z.
PiecePose perspective(const Piece& p, const PieceArea& a, std::int32_t fromX, std::int32_t fromY, double z) {
    const double cx = (a.width - p.width) / 2, cy = (a.height - p.height) / 2;
    return PiecePose{truncated(cx - (cx - fromX) * kPlaneDepth / z), truncated(cy - (cy - fromY) * kPlaneDepth / z),
                     truncated(z)};
}

// A depth-scaled size; below 3 pixels it counts as nothing, unless that is
// the piece's own full size (a tiny picture still arrives).
std::int32_t byDepth(std::int32_t full, std::int32_t depth) {
    const std::int32_t scaled =
        static_cast<std::int32_t>(std::min<std::int64_t>(full, std::int64_t{full} * 1000 / std::max(depth, 1)));
    return scaled < 3 && scaled < full ? 0 : scaled;
}

PieceExtent scaledByDepth(const Piece& p, std::int32_t depth) {
    PieceExtent e{byDepth(p.width, depth), byDepth(p.height, depth)};
    if (e.width == 0 || e.height == 0) return PieceExtent{};
    return e;
}

std::int32_t fractionOf(std::int32_t full, double part) {
    return std::clamp(truncated(full * part), 0, full);
}

}  // namespace

double lineScale(std::int32_t height, double speed, double acceleration) {
    const double way = speed * 750 + acceleration * 750.0 * 750.0 / 2;
    return way > 0 ? height / way : 0.0;
}

void polarFrom(double cx, double cy, double x, double y, double& radius, double& angle) {
    radius = std::hypot(x - cx, y - cy);
    angle = std::atan2(y - cy, x - cx);
}

PiecePose poseAt(const Piece& p, const PieceArea& a, std::int64_t t) {
    const double d = static_cast<double>(t - p.start);
    if (p.motion == PieceMotion::Approach) {
        return perspective(p, a, p.homeX, p.homeY, d < 0 ? kDistantDepth : std::max(kPlaneDepth, kDistantDepth - d * d / 25));
    }
    if (d < 0 || p.motion == PieceMotion::Stay) return PiecePose{p.startX, p.startY, p.startDepth};
    switch (p.motion) {
    case PieceMotion::LineToTarget: return lineToTarget(p, d);
    case PieceMotion::LineOutwards: return lineOutwards(p, d);
    case PieceMotion::Spiral: return spiral(p, a, d);
    case PieceMotion::OrbitOut: return orbitOut(p, a, d);
    case PieceMotion::OrbitIn: return orbitIn(p, a, d);
    case PieceMotion::CorkAcross: return cork(p, a, d, true);
    case PieceMotion::CorkDown: return cork(p, a, d, false);
    case PieceMotion::Recede: return perspective(p, a, p.startX, p.startY, kPlaneDepth + d * d / 25);
    default: return PiecePose{p.startX, p.startY, p.startDepth};
    }
}

PieceExtent extentAt(const Piece& p, std::int32_t depth, std::int64_t t) {
    const PieceExtent full{p.width, p.height};
    const std::int64_t d = t - p.start;
    switch (p.size) {
    case PieceSize::Full: return full;
    case PieceSize::ShrinkAt: {
        if (d <= 0) return full;
        const double span = p.sizeValue - p.start;
        if (t >= p.sizeValue || span <= 0) return PieceExtent{};
        const double left = (p.sizeValue - t) / span;
        return PieceExtent{fractionOf(p.width, left), fractionOf(p.height, left)};
    }
    case PieceSize::GrowByRate: {
        const std::int64_t ruleStart = p.growFromHalfStart ? p.start / 2 : p.start;
        if (t < ruleStart || p.width <= 0) return PieceExtent{};
        const double grown = p.sizeValue * static_cast<double>(t - ruleStart);
        return PieceExtent{std::min(p.width, truncated(grown)), std::min(p.height, truncated(grown * p.height / p.width))};
    }
    case PieceSize::GrowByTime: {
        if (d < 0) return PieceExtent{};
        const std::int64_t k = static_cast<std::int64_t>((p.sizeValue - p.start) * 0.6);
        if (k <= 0 || d >= k) return full;
        const double part = static_cast<double>(d) / static_cast<double>(k);
        return PieceExtent{fractionOf(p.width, part), fractionOf(p.height, part)};
    }
    case PieceSize::ByDepth:
        return d < 0 ? full : scaledByDepth(p, depth);
    case PieceSize::AppearByDepth:
        if (!p.arriving && d < 5) return full;
        return d < 0 ? PieceExtent{} : scaledByDepth(p, depth);
    }
    return full;
}

bool pieceDone(const Piece& p, const PieceArea& a, std::int64_t t) {
    const PiecePose pose = poseAt(p, a, t);
    const PieceExtent e = extentAt(p, pose.depth, t);
    if (p.arriving) return pose.x == p.targetX && pose.y == p.targetY && e.width == p.width && e.height == p.height;
    if (e.width <= 0 || e.height <= 0) return true;
    const std::int64_t right = std::int64_t{pose.x} + p.width, bottom = std::int64_t{pose.y} + p.height;
    return right < 1 || bottom < 1 || pose.x >= a.width || pose.y >= a.height;
}

std::int32_t piecesTotal(const std::vector<Piece>& pieces, const PieceArea& area) {
    const auto allDone = [&](std::int64_t t) {
        return std::all_of(pieces.begin(), pieces.end(), [&](const Piece& p) { return pieceDone(p, area, t); });
    };
    const auto bisect = [&](std::int32_t lo, std::int32_t hi) {
        while (hi - lo > 1) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            (allDone(mid) ? hi : lo) = mid;
        }
        return hi;
    };
    const std::int32_t total = bisect(0, kSearchedTotal);
    if (total < kSearchedTotal || allDone(total)) return total;
    // Not every piece is home by the end of the usual range: look further.
    std::int32_t lo = kSearchedTotal, hi = 2 * kSearchedTotal;
    while (hi < kLongestPieceTotal && !allDone(hi)) {
        lo = hi;
        hi = std::min(2 * hi, kLongestPieceTotal);
    }
    return bisect(lo, hi);
}

DrawnPiece drawnAt(const Piece& p, const PieceArea& a, std::int64_t t) {
    const PiecePose pose = poseAt(p, a, t);
    const PieceExtent e = extentAt(p, pose.depth, t);
    if (e.width <= 0 || e.height <= 0) return DrawnPiece{};
    // A piece that shrinks shows its own middle at full scale.
    const std::int32_t inX = (p.width - e.width) / 2, inY = (p.height - e.height) / 2;
    const Rect wanted{pose.x + inX, pose.y + inY, e.width, e.height};
    const Rect shown = intersect(wanted, Rect{0, 0, a.width, a.height});
    if (shown.empty()) return DrawnPiece{};
    return DrawnPiece{shown, p.homeX + inX + (shown.left - wanted.left), p.homeY + inY + (shown.top - wanted.top)};
}

}  // namespace lv
