// Decoding the browser's pictures from whole JPEG files: the viewer's
// picture at full size and a tile's picture fitted into its box, both
// turned upright by the file's orientation tag.
//
// A tile picture is decoded at 1/8 or 1/4 of its size when the fitted size is
// that small (the codec's reduced decoding), then resized to exactly the size
// that fits the box (the 16.16 fitting rule):
//
//     BitmapPtr tile = decodeTilePicture(bytes, {100, 100});  // 4000x3000 -> 100x75
//
// The viewer's picture for a window: a picture that the viewer will show at
// half its size or less (its zoom fitted to the window, both ways, is at
// most 0.5) is decoded at 1/2, which holds every pixel the fitted view draws
// for a fraction of the work; the full picture waits until zoom or an
// edit needs it (ViewerPicture::openReduced):
//
//     ViewerDecode d = decodeViewerPicture(bytes, {1920, 1080});  // 4000x3000
//     d.picture->width;  // 2000
//     d.fullSize;        // 4000 x 3000, upright
//     d.reduction;       // 2 (1: the picture is whole)
//
// Null for data that does not decode, a box side below 1, or exhausted memory.
#pragma once

#include <cstdint>
#include <span>

#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv {

BitmapPtr decodeFullPicture(std::span<const std::uint8_t> bytes);
BitmapPtr decodeTilePicture(std::span<const std::uint8_t> bytes, PictureSize box);

struct ViewerDecode {
    BitmapPtr picture;     // upright; null on failure
    PictureSize fullSize;  // the whole picture's upright size
    int reduction = 1;     // the picture is 1/reduction of it (each side rounded up)
};
ViewerDecode decodeViewerPicture(std::span<const std::uint8_t> bytes, PictureSize window);

}  // namespace lv
