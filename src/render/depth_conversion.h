// Changing a Bitmap's depth: 24 to 8 bits through the display palette with
// Floyd-Steinberg error diffusion, 8 to 24 bits through the Bitmap's own
// palette. Controls use it for their pictures on a screen of 256 colours.
#pragma once

#include "render/bitmap.h"

namespace lv {

// A new Bitmap of the same name and size at the target depth: 24 -> 8 gives an
// 8-bit Bitmap indexed into the display palette (which becomes its palette),
// 8 -> 24 expands through the palette. Any other combination gives null.
BitmapPtr changeDepth(const Bitmap& source, int targetDepth);

// 24 -> 8 bits. Rows run from the last to the first, pixels left to right;
// each pixel's error passes 7/16 to its right neighbour and 3/16, 5/16 and the
// rest to the three pixels of the row processed next (the row above), the
// shares taken of the error plus 8. Null for a source that is not 24-bit.
BitmapPtr convertTo8(const Bitmap& source);

}  // namespace lv
