// Resizing whole Bitmaps through the row-streaming scaler.
#pragma once

#include "render/bitmap.h"

namespace lv {

// The method a whole-Bitmap resize uses on an axis from source length s to
// destination length d: Hermite filter when shrinking, bilinear below 2.5
// times enlargement, cubic B-spline from 2.5 times on.
int resizeMethodFor(int sourceLength, int destLength);

// A new Bitmap of the given size with the source's name, depth and palette,
// or null for a side below 1 or exhausted memory. An 8-bit Bitmap whose
// palette is not the grey ramp goes through 24 bits and comes back 24-bit;
// a grey one is scaled as an intensity image and stays 8-bit.
BitmapPtr resizeBitmap(const Bitmap& source, int width, int height);

// The same with the methods given per pass (indices 0..9). Null also when a
// filtered method is asked to enlarge (it emits nothing).
BitmapPtr scaleBitmap(const Bitmap& source, int width, int height, int horizontalMethod, int verticalMethod);

}  // namespace lv
