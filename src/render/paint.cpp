#include "render/paint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lv {

namespace {

constexpr int kAllOutside = 127;

int floorMod(int value, int size) {
    const int m = value % size;
    return m < 0 ? m + size : m;
}

// One paint prepared for a target: what it contributes to a pixel.
class PreparedPaint {
public:
    PreparedPaint(const Paint& paint, const Bitmap& target) : paint_(paint), bytes_(target.depth / 8) {
        if (paint.pattern && (paint.pattern->depth != target.depth || paint.pattern->width <= 0 ||
                              paint.pattern->height <= 0))
            paint_.pattern = nullptr;
        if (paint.mask && (paint.mask->width <= 0 || paint.mask->height <= 0)) paint_.mask = nullptr;
        // A 24-bit pixel stores blue, green, red: the colour's bytes reversed.
        // An 8-bit target takes the colour's low byte.
        colour_[0] = static_cast<std::uint8_t>(paint.colour >> (bytes_ == 1 ? 0 : 16));
        colour_[1] = static_cast<std::uint8_t>(paint.colour >> 8);
        colour_[2] = static_cast<std::uint8_t>(paint.colour);
        paint_.opacity = std::clamp(paint.opacity, 0, 255);
    }

    bool invisible() const { return paint_.opacity == 0; }

    // Starts a row: finds where the pattern and mask rows and columns begin.
    void startRow(int x, int y) {
        if (paint_.pattern) {
            patternRow_ = paint_.pattern->rows[floorMod(y - paint_.patternY, paint_.pattern->height)];
            patternColumn_ = floorMod(x - paint_.patternX, paint_.pattern->width);
        }
        if (paint_.mask) {
            maskRow_ = paint_.mask->rows[floorMod(y - paint_.maskY, paint_.mask->height)];
            maskColumn_ = floorMod(x - paint_.maskX, paint_.mask->width);
        }
    }

    // The painted bytes of the pixel at the current column into `out`.
    void paint(const std::uint8_t* d, std::uint8_t* out) const {
        const int a = paint_.mask ? paint_.opacity * maskRow_[maskColumn_] / 255 : paint_.opacity;
        const std::uint8_t* s = paint_.pattern ? patternRow_ + patternColumn_ * bytes_ : colour_;
        for (int c = 0; c < bytes_; ++c) out[c] = static_cast<std::uint8_t>(d[c] * (255 - a) / 255 + s[c] * a / 255);
    }

    void nextColumn() {
        if (paint_.pattern && ++patternColumn_ == paint_.pattern->width) patternColumn_ = 0;
        if (paint_.mask && ++maskColumn_ == paint_.mask->width) maskColumn_ = 0;
    }

private:
    Paint paint_;
    int bytes_;
    std::uint8_t colour_[3] = {};
    const std::uint8_t* patternRow_ = nullptr;
    const std::uint8_t* maskRow_ = nullptr;
    int patternColumn_ = 0, maskColumn_ = 0;
};

template <typename WeightOf>
void paintWithWeights(Bitmap& target, const Shape& shape, const Paint& inside, const Paint& outside,
                      WeightOf weightOf) {
    PreparedPaint in(inside, target), out(outside, target);
    const int bytes = target.depth / 8;
    // Nothing outside the shape changes when the outside paint is invisible.
    const bool skipOutside = out.invisible();
    const int x0 = skipOutside ? std::max(shape.left, 0) : 0;
    const int x1 = skipOutside ? std::min(shape.right, target.width) : target.width;
    const int y0 = skipOutside ? std::max(shape.top, 0) : 0;
    const int y1 = skipOutside ? std::min(shape.bottom, target.height) : target.height;
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* pixel = target.rows[y] + x0 * bytes;
        in.startRow(x0, y);
        out.startRow(x0, y);
        for (int x = x0; x < x1; ++x, pixel += bytes) {
            const int w = weightOf(x, y);
            std::uint8_t a[3], b[3];
            if (w == 0) {
                in.paint(pixel, a);
                std::copy(a, a + bytes, pixel);
            } else if (w == kAllOutside) {
                out.paint(pixel, b);
                std::copy(b, b + bytes, pixel);
            } else {
                in.paint(pixel, a);
                out.paint(pixel, b);
                for (int c = 0; c < bytes; ++c)
                    pixel[c] = static_cast<std::uint8_t>((a[c] * (kAllOutside - w) + b[c] * w) / kAllOutside);
            }
            in.nextColumn();
            out.nextColumn();
        }
    }
}

int limitedThickness(const Shape& s) {
    return std::clamp(s.thickness, 0, std::min((s.right - s.left) / 2, (s.bottom - s.top) / 2));
}

}  // namespace

int rectangleWeight(const Shape& s, int x, int y) {
    if (x < s.left || x >= s.right || y < s.top || y >= s.bottom) return kAllOutside;
    const int t = limitedThickness(s);
    const int dx = x < s.left + t ? s.left + t - x : (x >= s.right - t ? x - (s.right - t) + 1 : 0);
    const int dy = y < s.top + t ? s.top + t - y : (y >= s.bottom - t ? y - (s.bottom - t) + 1 : 0);
    if (dx == 0 && dy == 0) return 0;
    if (dx == 0 || dy == 0) return std::max(dx, dy) * kAllOutside / (t + 1);
    const int d2 = dx * dx + dy * dy;
    if (d2 >= t * t) return kAllOutside;
    return static_cast<int>(std::sqrt(static_cast<double>(d2)) * kAllOutside / (t + 1));
}

int ellipseWeight(const Shape& s, int x, int y) {
    const double a = (s.right - s.left) / 2, b = (s.bottom - s.top) / 2;
    const double cx = (s.left + s.right) / 2, cy = (s.top + s.bottom) / 2;
    const int t = std::clamp(s.thickness, 0, static_cast<int>(std::min(a, b)));
    const double ai = std::max(a - t, 0.0), bi = std::max(b - t, 0.0);
    const double f = (x - cx) * (x - cx) * b * b + (y - cy) * (y - cy) * a * a - a * a * b * b;
    if (f > 0) return kAllOutside;
    const double k = std::abs(y - (s.top + b)) / ((s.bottom - s.top) * 0.5 + 1e-11);
    const double threshold = (1 - k) * (ai * ai - a * a) * b * b + k * (bi * bi - b * b) * a * a;
    if (f <= threshold) return 0;
    return static_cast<int>((f - threshold) * kAllOutside / -threshold);
}

void paintShape(Bitmap& target, const Shape& shape, const Paint& inside, const Paint& outside) {
    if (target.depth != 8 && target.depth != 24) return;
    if (shape.kind == ShapeKind::Rectangle)
        paintWithWeights(target, shape, inside, outside, [&](int x, int y) { return rectangleWeight(shape, x, y); });
    else
        paintWithWeights(target, shape, inside, outside, [&](int x, int y) { return ellipseWeight(shape, x, y); });
}

void paintThroughMask(Bitmap& target, const Bitmap& mask, int left, int top, std::uint32_t colour, int opacity) {
    Paint ink;
    ink.colour = colour;
    ink.opacity = opacity;
    ink.mask = &mask;
    ink.maskX = left;
    ink.maskY = top;
    Paint nothing;
    nothing.opacity = 0;
    paintShape(target, Shape{left, top, left + mask.width, top + mask.height}, ink, nothing);
}

}  // namespace lv
