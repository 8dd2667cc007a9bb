// Pixel byte order: Bitmaps keep 24-bit pixels as blue, green, red; files
// (PPM, PNG) and most libraries keep red, green, blue. Turning one into the
// other swaps the first and third byte of every pixel, on every row a
// picture file is read or written through, so it is worth doing fast.
//
//     std::vector<std::uint8_t> fileRow(3 * width);
//     lv::swapRedAndBlue(bitmap.rows[y], fileRow.data(), width);
//
// Limits: `in` and `out` are the same row or do not overlap at all.
#pragma once

#include <cstdint>

namespace lv {

// pixels x (blue, green, red) <-> (red, green, blue); in place when in == out.
void swapRedAndBlue(const std::uint8_t* in, std::uint8_t* out, int pixels);

}  // namespace lv
