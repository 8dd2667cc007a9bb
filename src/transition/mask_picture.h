// Mask pictures of the mask-image transitions: an 8-bit grey picture the
// size of the transition's picture, whose grey value says when each pixel
// changes (darkest first).
//
//     std::vector<std::uint8_t> grey;
//     if (loadMaskPicture("[h]images\\plasma", "masks/", 0, 640, 480, grey) != 0) ...   // file "masks/plasma"
//
// The file name is the mask folder followed by the part of the mask name
// after its last backslash (a name without one is used whole), with no
// extension added; the name "puzzle" gives the generated puzzle mask. The
// file is decoded as a JPEG at full size; a colour mask is turned to grey
// first (so the grey values, not a palette's indices, count); then it is
// turned by `rotation` degrees (a quarter-turn multiple) and resized to
// width x height.
//
// Results: 0 with `grey` holding width x height values, row by row; 2 when
// the file cannot be opened or decoded, the rotation fails, or the resize
// fails (the transition then can never run).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "render/bitmap.h"

namespace lv {

int loadMaskPicture(std::string_view maskName, std::string_view folder, int rotation, std::int32_t width,
                    std::int32_t height, std::vector<std::uint8_t>& grey);

// The part of a mask name after its last backslash.
std::string_view maskFileName(std::string_view maskName);

// An 8-bit grey copy (grey-ramp palette) of an 8-bit or 24-bit Bitmap, by the
// luminance of each pixel's colour; null for another depth.
BitmapPtr greyBitmap(const Bitmap& source);

// The generated puzzle mask: 960 x 800, 16 x 16 tiles of 60 x 50 with
// interlocking knobs, each piece in its own grey value.
BitmapPtr puzzleMask();
inline constexpr std::int32_t kPuzzleWidth = 960, kPuzzleHeight = 800;

}  // namespace lv
