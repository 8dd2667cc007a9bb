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

// The shape a P5/P6 header announces.
struct PnmShape {
    int width = 0, height = 0, channels = 0;
    unsigned maxval = 0;
    std::size_t rasterOffset = 0;  // in the bytes the header was read from
    std::size_t sampleBytes() const { return maxval > 255 ? 2 : 1; }
    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * channels * sampleBytes(); }
};

// Reads a P5/P6 picture from an open stream one row at a time, each row in
// Bitmap order (grey bytes, or blue, green, red), so a picture can be worked
// on without ever being whole in memory.
//
//     PnmRowReader in;
//     if (!in.start(file, error)) return;
//     for (int y = 0; y < in.shape().height; ++y) if (!in.readRow(row)) ...;
//
// Limits: the header and its comments must fit in the first 4 KiB; sides as
// for every Bitmap. readRow fails once the data ends short.
class PnmRowReader {
public:
    // False with a reason when the stream does not start with a usable header.
    bool start(std::FILE* file, std::string& error);
    const PnmShape& shape() const { return shape_; }
    bool grey() const { return shape_.channels == 1; }
    // The next row into `out` (width bytes for grey, else 3 * width); false
    // when the data ends short or every row was read.
    bool readRow(std::uint8_t* out);

private:
    bool readBytes(std::uint8_t* out, std::size_t count);
    std::FILE* file_ = nullptr;
    PnmShape shape_;
    std::vector<std::uint8_t> head_;
    std::size_t at_ = 0;
    int rowsRead_ = 0;
    std::vector<std::uint8_t> wide_;  // a row of 16-bit samples
};

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
