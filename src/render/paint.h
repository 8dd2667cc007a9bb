// The shape painter: fills the inside of a rectangle or an ellipse with one
// paint, blends a border band of a given thickness from the inside paint to
// the outside paint, and paints everything outside with the outside paint.
// Each paint is a colour or a tiled pattern picture, with an opacity and an
// optional tiled mask that scales the opacity pixel by pixel.
//
// A painted channel is trunc(d * (255 - a) / 255) + trunc(s * a / 255) for the
// current value d, the paint's value s and the effective opacity a. In the
// band both paints are computed from the same d and mixed with a weight w
// from 0 (all inside) to 127 (all outside): (in * (127 - w) + out * w) / 127.
#pragma once

#include <cstdint>

#include "render/bitmap.h"

namespace lv {

struct Paint {
    std::uint32_t colour = 0;  // 0x00BBGGRR; an 8-bit target takes the low byte
    int opacity = 255;         // 0 (no effect) to 255 (covers)
    const Bitmap* pattern = nullptr;  // same depth as the target; replaces the colour
    int patternX = 0, patternY = 0;   // where the pattern's pixel (0, 0) falls
    const Bitmap* mask = nullptr;     // read one byte per pixel; scales the opacity by m / 255
    int maskX = 0, maskY = 0;
};

enum class ShapeKind { Rectangle, Ellipse };

struct Shape {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    ShapeKind kind = ShapeKind::Rectangle;
    int thickness = 0;
};

// Never fails. A pattern of another depth than the target, or an empty
// pattern or mask, is ignored.
void paintShape(Bitmap& target, const Shape& shape, const Paint& inside, const Paint& outside);

// Paints the colour at the opacity through the 8-bit mask placed with its
// top-left corner at (left, top): text, shadows and glows are laid this way.
void paintThroughMask(Bitmap& target, const Bitmap& mask, int left, int top, std::uint32_t colour, int opacity);

// The band weight of a pixel of a rectangle or an ellipse (0 inside, 127
// outside); exposed for tests.
int rectangleWeight(const Shape& shape, int x, int y);
int ellipseWeight(const Shape& shape, int x, int y);

}  // namespace lv
