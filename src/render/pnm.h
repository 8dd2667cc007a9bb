// Binary PGM (P5) and PPM (P6) pictures, for the tools and tests.
//
// P5 reads as an 8-bit Bitmap with the grey ramp, P6 as a 24-bit Bitmap.
// Samples of up to 16 bits (maxval above 255) are scaled to 8 bits. Sides are
// limited as for every Bitmap; a short or malformed file is refused whole.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "render/bitmap.h"

namespace lv {

// Null with a reason in `error` when the bytes are not a usable P5/P6 picture.
BitmapPtr decodePnm(std::span<const std::uint8_t> bytes, std::string_view name, std::string& error);
BitmapPtr loadPnm(const std::string& path, std::string& error);

// A grey 8-bit Bitmap becomes P5, any other Bitmap P6 (8-bit through its palette).
std::vector<std::uint8_t> encodePnm(const Bitmap& bitmap);
// Written to a temporary file beside the target and renamed over it when complete.
bool savePnm(const Bitmap& bitmap, const std::string& path, std::string& error);

}  // namespace lv
