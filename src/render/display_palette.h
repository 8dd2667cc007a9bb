// The fixed 256-colour display palette through which pictures are shown on a
// screen of 256 colours, and its inverse colour map.
//
// Layout of the palette (red, green, blue):
//   0-7      the eight dark system colours and (192,192,192)
//   8, 9     black
//   10-199   a colour cube (red 0,51..255; green 0,42,85..255; blue 0,63..255),
//            red varying fastest, without the colours the fixed entries
//            already hold and without the 12 cube colours nearest to them
//   200-202  extras from the levels 85 and 255
//   203-224  a grey ramp 11..244 in steps of 11 (12 at 89 and at 178)
//   225-238  warm browns and skin tones (255,191,159) .. (178,138,95)
//   239-247  black
//   248-255  (128,128,128) and the seven bright system colours, white last
//
// The inverse colour map gives for each 15-bit colour cell (red / 8 in bits
// 10-14, green / 8 in bits 5-9, blue / 8 in bits 0-4) the entry nearest to the
// cell's centre (component * 8 + 4), never the duplicate blacks 8, 9 and
// 239-247; ties go to the lower entry, so the cell of 192 grey maps onto 7.
#pragma once

#include <array>
#include <cstdint>

#include "render/bitmap.h"

namespace lv {

// The palette in Bitmap form (red, green, blue, 0).
const Palette& displayPalette();

using InverseColourMap = std::array<std::uint8_t, 32768>;
const InverseColourMap& inverseColourMap();

constexpr int colourCell(int red, int green, int blue) { return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3); }

}  // namespace lv
