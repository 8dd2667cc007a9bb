// The tint of a show cell: the picture turned to grey and recoloured along
// a ramp from black up to the tint colour and on up to white.
//
//     tintBitmap(picture, 0x808080);  // a grey tint: every pixel has R = G = B
//
// Grey g = (b0 + 4 b1 + 2 b2) / 7 from the pixel's bytes in storage order;
// L = 7 g. Channel k of the tint colour (k = 0 its low byte, red) gives
// t_k L / 892 below L = 892, else (t_k (1785 - L) + 255 (L - 892)) / 893, and
// lands in the pixel's byte 2 - k. 24-bit Bitmaps only; others are left.
#pragma once

#include <array>
#include <cstdint>

#include "render/bitmap.h"

namespace lv {

// For each grey value, the three bytes of the tinted pixel in storage order.
std::array<std::array<std::uint8_t, 3>, 256> tintTable(std::uint32_t colour);

void tintBitmap(Bitmap& bitmap, std::uint32_t colour);

}  // namespace lv
