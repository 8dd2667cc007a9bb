// Whole-picture operations of the script's image statements: tone
// adjustment, flips, quarter-turn rotation, blur, spread and emboss.
#pragma once

#include <array>
#include <cstdint>

#include "render/bitmap.h"
#include "render/blur_kernels.h"
#include "render/blur_kernels.h"

namespace lv {

// The 256-entry tone table of an adjustment; all four 0 is the identity.
std::array<std::uint8_t, 256> adjustTable(int bright, int contrast, int black, int white);
// Passes every byte of every row through the table (for an 8-bit Bitmap the
// indexes themselves), in place. All four 0 changes nothing.
void adjustBitmap(Bitmap& bitmap, int bright, int contrast, int black, int white);

BitmapPtr flipBitmap(const Bitmap& source, bool horizontal, bool vertical);

// A quarter-turn multiple: 90 turns the picture clockwise (the script
// statement passes the negated angle). Null for any other angle.
BitmapPtr rotateBitmap(const Bitmap& source, int degrees);

// A Bitmap larger by `radius` on every side: black outside, the source inside.
BitmapPtr padBitmap(const Bitmap& source, int radius);

// Padded by the radius, then blurred with a cone of radius + 1. Radii of 5
// and more blur twice (radius - 4, then 4 without a second margin). Null for a
// radius below 1. The row kernel is the fastest this processor runs unless
// one is given (tests compare them).
BitmapPtr blurBitmap(const Bitmap& source, int radius, AccumulateRow accumulate = nullptr);

// 8-bit Bitmaps only (others give null). Padded by the radius; a negative
// angle takes the largest value within a disc (a plain dilation); an angle of
// 0 or more takes it within a smaller disc moved toward the angle (0 is to the
// right, 90 up), so the result leans that way. Radii above 18 spread twice.
BitmapPtr spreadBitmap(const Bitmap& source, int radius, int angle, int gloss, MaxRow keepLarger = nullptr);

struct EmbossLight {
    std::uint32_t lightColour = 0xFFFFFF;
    int lightOpacity = 192;
    std::uint32_t shadowColour = 0;
    int shadowOpacity = 192;
    int angle = 45;
    int radius = 3;
    int gloss = 30;
};

// Raises the shape of an 8-bit mask out of the target: the side toward the
// light is painted in the light colour and the other side in the shadow
// colour, around the mask placed at (left, top).
void embossBitmap(Bitmap& target, const Bitmap& mask, int left, int top, const EmbossLight& light);

}  // namespace lv
