// What the browser reads from a JPEG file's markers before decoding it: the
// frame size (from the start-of-frame marker) and the orientation tag of the
// Exif block (tag 0x0112 of the first image directory); and turning a
// decoded picture upright by that tag.
//
// Cameras store pictures as the sensor saw them and record how to turn them:
// 1 upright, 2 mirrored left-right, 3 upside down, 4 mirrored top-bottom,
// 5 mirrored along the main diagonal, 6 turned a quarter anticlockwise (show
// it turned clockwise), 7 mirrored along the other diagonal, 8 turned a
// quarter clockwise.
//
//     int o = jpegOrientation(fileBytes);   // 6
//     BitmapPtr upright = turnUpright(*decoded, o);
//
// Limits: only the markers before the first scan are looked at; every
// length and offset is checked against the bytes; anything malformed or
// missing reads as orientation 1 (upright) and no frame size.
#pragma once

#include <cstdint>
#include <span>

#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv {

struct JpegFacts {
    PictureSize frame;    // 0 x 0 when no start-of-frame marker was found
    int orientation = 1;  // 1 ... 8
};
JpegFacts readJpegFacts(std::span<const std::uint8_t> bytes);
inline int jpegOrientation(std::span<const std::uint8_t> bytes) { return readJpegFacts(bytes).orientation; }

// True for orientations 5 to 8, whose upright picture swaps width and height.
bool orientationSwapsSides(int orientation);

// The upright picture; null for orientation 1 (or an unknown value), or when
// memory ran out (the picture is then shown as stored).
BitmapPtr turnUpright(const Bitmap& picture, int orientation);

}  // namespace lv
