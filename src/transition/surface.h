// Surface: the transition engine's 32-bit image. Every pixel is 0x00RRGGBB
// (bytes blue, green, red, 0); the display's own format is applied when a
// frame is written (display/pixel_format.h), so one surface serves every
// output. A surface is a whole frame of the window: the picture sits at
// `picture` inside it and the margins round it are black.
//
//     SurfacePtr out = surfaceFromBitmap(previous, 640, 480, 80, 0);
//
// Limits: each side 1 to 65535 and at most 2^28 pixels; larger requests give
// null, so no picture can ask for more memory than that.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "display/display.h"

namespace lv {

class Bitmap;

struct Surface {
    std::int32_t width = 0, height = 0;
    std::int32_t stride = 0;  // pixels per row (the width)
    std::vector<std::uint32_t> pixels;
    Rect picture;             // where the picture lies inside the surface
    std::int32_t offsetX = 0, offsetY = 0;  // the surface's place in the window

    std::uint32_t* row(std::int32_t y) { return pixels.data() + static_cast<std::size_t>(y) * stride; }
    const std::uint32_t* row(std::int32_t y) const { return pixels.data() + static_cast<std::size_t>(y) * stride; }
};
using SurfacePtr = std::unique_ptr<Surface>;

// A black surface; null for a refused size.
SurfacePtr createSurface(std::int32_t width, std::int32_t height);

// The Bitmap (8 bits through its palette, or 24 bits) placed at (left, top)
// of a black surface of the given size, cropped to it. Null for a refused
// size or a Bitmap of another depth.
SurfacePtr surfaceFromBitmap(const Bitmap& bitmap, std::int32_t width, std::int32_t height, std::int32_t left,
                             std::int32_t top);

// The larger width and height of two images and the offsets that centre each
// in it.
struct CommonSize {
    std::int32_t width = 0, height = 0;
    std::int32_t firstLeft = 0, firstTop = 0, secondLeft = 0, secondTop = 0;
};
CommonSize commonSize(std::int32_t width1, std::int32_t height1, std::int32_t width2, std::int32_t height2);

}  // namespace lv
