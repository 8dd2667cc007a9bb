// PPM and PGM pictures (binary P6 and P5, maximum value 255): the exchange
// format of lumavine-tool. A PGM reads as an 8-bit Bitmap with the grey ramp,
// a PPM as a 24-bit Bitmap (its red, green, blue bytes reordered to the
// Bitmap's blue, green, red).
#pragma once

#include <string>

#include "render/bitmap.h"

namespace lv {

// Null when the file cannot be read or is not a P5/P6 picture with maximum
// value 255 and sides within the Bitmap limits.
BitmapPtr readPnm(const std::string& path);

// PGM for 8-bit Bitmaps (palette index written as is), PPM for 24-bit ones;
// written to a temporary beside the target and renamed when complete.
bool writePnm(const std::string& path, const Bitmap& bitmap);

}  // namespace lv
