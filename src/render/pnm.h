// Binary PGM (P5) and PPM (P6) pictures, for the tools and tests.
//
// P5 reads as an 8-bit Bitmap with the grey ramp, P6 as a 24-bit Bitmap.
// Samples of up to 16 bits (maxval above 255) are scaled to 8 bits. Sides are
// limited as for every Bitmap; a short or malformed file is refused whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "render/bitmap.h"
#include "shell/file_writer.h"

namespace lv {

// Null with a reason in `error` when the bytes are not a usable P5/P6 picture.
BitmapPtr decodePnm(std::span<const std::uint8_t> bytes, std::string_view name, std::string& error);
// From a file ("-" is standard input) or an open stream, read row by row
// straight into the Bitmap; the header and its comments must fit in the
// first 4 KiB.
BitmapPtr loadPnm(const std::string& path, std::string& error);
BitmapPtr readPnm(std::FILE* file, std::string_view name, std::string& error);

// A grey 8-bit Bitmap becomes P5, any other Bitmap P6 (8-bit through its palette).
bool isGreyBitmap(const Bitmap& bitmap);
std::vector<std::uint8_t> encodePnm(const Bitmap& bitmap);
// "P5\nW H\n255\n" (grey) or "P6\nW H\n255\n".
std::string pnmHeader(int width, int height, bool grey);
// Row y in file order into `out` (width bytes for grey, else 3 * width: red,
// green, blue).
void pnmRow(const Bitmap& bitmap, int y, std::uint8_t* out);
// Streams the picture row by row through an open writer (no whole-file
// buffer); the caller commits.
bool writePnm(const Bitmap& bitmap, FileWriter& out);
// Through a FileWriter (file_writer.h): a regular target is replaced only
// when complete, "-" is standard output.
bool savePnm(const Bitmap& bitmap, const std::string& path, std::string& error);

}  // namespace lv
