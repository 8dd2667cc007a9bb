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
// Null for data that does not decode, a box side below 1, or exhausted memory.
#pragma once

#include <cstdint>
#include <span>

#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv {

BitmapPtr decodeFullPicture(std::span<const std::uint8_t> bytes);
BitmapPtr decodeTilePicture(std::span<const std::uint8_t> bytes, PictureSize box);

}  // namespace lv
