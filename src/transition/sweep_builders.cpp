// Sweeps: lines from a centre to the border (radar), through the centre
// from one border point to its mirror (double radar), and fans from the
// middle of the bottom or top edge. Each line's angle, measured with the
// pixel aspect, drives the frame map, so the sweep turns evenly.
#include <cmath>
#include <numbers>

#include "transition/span_builders.h"

namespace lv::spans {

namespace {

double aspectOf(const SpanBuild& b) { return b.settings.pixelAspect > 0 ? b.settings.pixelAspect : 1.0; }

// Angle of (x, y) about the centre, clockwise from straight up, kept growing
// along the walk (a walk that comes back to its start ends near a full turn).
class SweepAngles {
public:
    SweepAngles(SpanBuild& b, std::int32_t cx, std::int32_t cy) : b_(b), cx_(cx), cy_(cy), aspect_(aspectOf(b)) {}
    void add(std::int32_t x, std::int32_t y) {
        double a = std::atan2(static_cast<double>(x - cx_), (cy_ - y) * aspect_);
        if (started_) {
            while (a < last_ - std::numbers::pi) a += 2 * std::numbers::pi;
        } else {
            start_ = a;
            started_ = true;
        }
        last_ = a;
        b_.angles.push_back(a - start_);
    }

private:
    SpanBuild& b_;
    std::int32_t cx_, cy_;
    double aspect_;
    double last_ = 0, start_ = 0;
    bool started_ = false;
};

// A fan's line to (x, y): its angle above the edge it starts from.
void fanLine(SpanBuild& b, std::int32_t ox, std::int32_t oy, std::int32_t x, std::int32_t y) {
    b.line(ox, oy, x, y);
    b.angles.push_back(std::atan2(std::abs(y - oy) * aspectOf(b), static_cast<double>(std::abs(x - ox))));
}

}  // namespace

int radar(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height, cx = w / 2, cy = h / 2;
    SweepAngles angles(b, cx, cy);
    const auto to = [&](std::int32_t x, std::int32_t y) {
        b.line(cx, cy, x, y);
        angles.add(x, y);
    };
    // Clockwise from the middle of the top edge and back to it.
    for (std::int32_t x = cx; x < w; ++x) to(x, 0);
    for (std::int32_t y = 1; y < h; ++y) to(w - 1, y);
    for (std::int32_t x = w - 2; x >= 0; --x) to(x, h - 1);
    for (std::int32_t y = h - 2; y >= 0; --y) to(0, y);
    for (std::int32_t x = 1; x <= cx; ++x) to(x, 0);
    b.sweep = 2 * std::numbers::pi;
    return 0;
}

int doubleRadar(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height;
    SweepAngles angles(b, w / 2, h / 2);
    const auto through = [&](std::int32_t x, std::int32_t y) {
        b.line(x, y, w - 1 - x, h - 1 - y);
        angles.add(x, y);
    };
    // Half a turn: the right half of the top edge, the right edge, the right
    // half of the bottom edge; each line reaches the mirrored point.
    for (std::int32_t x = w / 2; x < w; ++x) through(x, 0);
    for (std::int32_t y = 1; y < h - 1; ++y) through(w - 1, y);
    for (std::int32_t x = w - 1; x >= w / 2; --x) through(x, h - 1);
    b.sweep = std::numbers::pi;
    return 0;
}

int fanFromBottom(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height, ox = w / 2, oy = h - 1;
    for (std::int32_t y = h - 1; y >= 0; --y) {
        fanLine(b, ox, oy, 0, y);
        fanLine(b, ox, oy, w - 1, y);
    }
    for (std::int32_t x = 1; x < w / 2; ++x) {
        fanLine(b, ox, oy, x, 0);
        fanLine(b, ox, oy, w - 1 - x, 0);
    }
    fanLine(b, ox, oy, ox, 0);
    b.sweep = std::numbers::pi / 2;
    return 0;
}

int fanFromTop(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height, ox = w / 2, oy = 0;
    for (std::int32_t y = 0; y < h; ++y) {
        fanLine(b, ox, oy, 0, y);
        fanLine(b, ox, oy, w - 1, y);
    }
    for (std::int32_t x = 1; x < w / 2; ++x) {
        fanLine(b, ox, oy, x, h - 1);
        fanLine(b, ox, oy, w - 1 - x, h - 1);
    }
    fanLine(b, ox, oy, ox, h - 1);
    b.sweep = std::numbers::pi / 2;
    return 0;
}

}  // namespace lv::spans
